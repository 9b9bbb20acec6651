#include "tools/host_app/panel_container.h"

#include "tools/host_app/dll_registration.h"

namespace ramulet::win32 {

namespace {

using AxWinInit = BOOL(WINAPI*)();
using AxCreateControlEx = HRESULT(WINAPI*)(LPCOLESTR name, HWND window, IStream* stream, IUnknown** container,
                                           IUnknown** control, REFIID sink_iid, IUnknown* sink);

// atl.dll stays loaded for the life of the process: its window class and
// its container objects live there.
struct AtlContainer {
  AxWinInit init = nullptr;
  AxCreateControlEx create = nullptr;
};

template <class F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

HRESULT LoadAtl(AtlContainer& atl) {
  static HMODULE module = LoadLibraryW(L"atl.dll");
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  atl.init = Export<AxWinInit>(module, "AtlAxWinInit");
  atl.create = Export<AxCreateControlEx>(module, "AtlAxCreateControlEx");
  if (!atl.init || !atl.create) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  return atl.init() ? S_OK : E_FAIL;
}

}  // namespace

HRESULT PanelContainer::Create(HWND parent, const RECT& area, IHostConfigurator* configurator, std::wstring& title) {
  AtlContainer atl;
  HRESULT hr = LoadAtl(atl);
  if (FAILED(hr)) return hr;
  frame_ = CreateWindowExW(0, L"AtlAxWin", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (!frame_) return HRESULT_FROM_WIN32(GetLastError());
  hr = atl.create(kRamuletProgId, frame_, nullptr, container_.Out(), control_.Out(), IID_NULL, nullptr);
  if (SUCCEEDED(hr) && !control_) hr = E_FAIL;
  if (SUCCEEDED(hr)) hr = QueryInterfaceOf(control_.get(), IID_IConfigPlugin, plugin_);
  if (FAILED(hr)) return hr;
  BSTR answer = nullptr;
  hr = plugin_.get()->lpVtbl->Init(plugin_.get(), reinterpret_cast<IDispatch*>(configurator), &answer);
  if (answer) title.assign(answer, SysStringLen(answer));
  SysFreeString(answer);
  return hr;
}

HWND PanelContainer::panel() const {
  ComPtr<IOleWindow> window;
  HWND handle = nullptr;
  if (SUCCEEDED(QueryInterfaceOf(control_.get(), IID_IOleWindow, window))) {
    window.get()->lpVtbl->GetWindow(window.get(), &handle);
  }
  return handle;
}

bool PanelContainer::TranslateAccelerator(MSG& message) const {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  if (!frame_ || !control_ || !message.hwnd || !IsChild(frame_, message.hwnd)) return false;
  // atl.dll's container keeps the object the control made active to
  // itself, so the control is asked for it.
  ComPtr<IOleInPlaceActiveObject> active;
  if (FAILED(QueryInterfaceOf(control_.get(), IID_IOleInPlaceActiveObject, active))) return false;
  return active.get()->lpVtbl->TranslateAccelerator(active.get(), &message) == S_OK;
}

void PanelContainer::Close() {
  if (plugin_) plugin_.get()->lpVtbl->Done(plugin_.get());
  plugin_.Reset();
  control_.Reset();
  if (frame_) DestroyWindow(frame_);
  frame_ = nullptr;
  container_.Reset();
}

}  // namespace ramulet::win32
