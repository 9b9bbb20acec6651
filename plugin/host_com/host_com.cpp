#include "plugin/host_com/host_com.h"

#include "plugin/com/error_info.h"
#include "plugin/host_com/host_document.h"

namespace ramulet::win32 {

Status ComConfigurator::Windows(std::shared_ptr<HostWindowSet>& windows) {
  ComPtr<IHostWindowSet> set;
  HRESULT hr = host_.get()->lpVtbl->get_Windows(host_.get(), set.Out());
  if (FAILED(hr)) return CallFailure(hr, "Запрос набора окон у конфигуратора", host_.unknown(), IID_IHostConfigurator);
  if (!set) return Status::Error(E_POINTER, "Конфигуратор программы-хоста не вернул набор окон");
  windows = std::make_shared<ComWindowSet>(std::move(set));
  return Status::Ok();
}

Status ComWindowSet::ActiveWindow(std::shared_ptr<HostWindow>& window) {
  ComPtr<IHostWindow> active;
  HRESULT hr = windows_.get()->lpVtbl->get_ActiveWindow(windows_.get(), active.Out());
  if (FAILED(hr)) return CallFailure(hr, "Запрос активного окна", windows_.unknown(), IID_IHostWindowSet);
  window = active ? std::make_shared<ComWindow>(std::move(active)) : nullptr;
  return Status::Ok();
}

Status ComWindow::Document(std::shared_ptr<HostDocument>& document) {
  ComPtr<IDispatch> shown;
  HRESULT hr = window_.get()->lpVtbl->get_Document(window_.get(), shown.Out());
  if (FAILED(hr)) return CallFailure(hr, "Запрос документа окна", window_.unknown(), IID_IHostWindow);
  if (!shown) return Status::Error(E_POINTER, "Активное окно программы-хоста не вернуло документ");
  document = std::make_shared<ComDocument>(std::move(shown));
  return Status::Ok();
}

}  // namespace ramulet::win32
