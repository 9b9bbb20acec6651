// ramulet-host.exe FILE: a small stand-in for the host: FILE in an editor,
// the panel Korvex.Ramulet docked beside it.

#include <memory>
#include <string>

#include "plugin/com/com.h"

#include <shellapi.h>
#include "plugin/controls/wide_text.h"
#include "tools/host_app/dll_registration.h"
#include "tools/host_app/host_app_window.h"
#include "tools/host_app/module_file.h"

namespace {

using namespace ramulet::win32;

int Fail(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Рамулет", MB_OK | MB_ICONERROR);
  return 1;
}

std::wstring Utf16Of(const std::string& utf8) {
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

int Run(const std::wstring& path) {
  std::wstring text;
  ramulet::Status read = ReadModuleFile(path, text);
  if (!read.ok()) return Fail(path + L":\n" + Utf16Of(read.message()));
  HRESULT hr = EnsureRamuletRegistered();
  if (FAILED(hr)) {
    return Fail(L"Панель Korvex.Ramulet не зарегистрирована, и Ramulet.dll не удалось её зарегистрировать.");
  }
  std::unique_ptr<HostAppWindow> window;
  ramulet::Status created = HostAppWindow::Create(FileNameOf(path), text, window);
  if (!created.ok()) return Fail(Utf16Of(created.message()));
  return HostAppWindow::RunMessageLoop(window->hwnd());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count != 2) return Fail(L"Запуск: ramulet-host.exe ФАЙЛ");
  std::wstring path = arguments[1];
  LocalFree(arguments);
  if (FAILED(OleInitialize(nullptr))) return Fail(L"Не удалось инициализировать OLE.");
  int code = Run(path);
  OleUninitialize();
  return code;
}
