#include "plugin/host_com/host_factory.h"

#include "host/host_configurator.h"
#include "plugin/com/com.h"
#include "plugin/com/error_info.h"
#include "plugin/host_com/host_com.h"

namespace ramulet::win32 {

namespace {

Status CreateHostConfigurator(std::shared_ptr<Configurator>& configurator) {
  ComPtr<IHostConfigurator> host;
  HRESULT hr = CoCreateInstance(CLSID_ConfigHost, nullptr, CLSCTX_ALL, IID_IHostConfigurator, host.OutVoid());
  if (hr == REGDB_E_CLASSNOTREG) return Status::Error(hr, "Конфигуратор программы-хоста не зарегистрирован");
  if (FAILED(hr)) {
    return Status::Error(hr, "Не удалось создать конфигуратор программы-хоста (ошибка " + HresultText(hr) + ")");
  }
  configurator = std::make_shared<ComConfigurator>(std::move(host));
  return Status::Ok();
}

}  // namespace

void InstallHostConfiguratorFactory() { HostConfigurator::SetFactory(CreateHostConfigurator); }

}  // namespace ramulet::win32
