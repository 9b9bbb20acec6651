#include "tools/host_app/host_app_window.h"

#include <algorithm>

#include "panel/layout.h"
#include "plugin/controls/screen_units.h"
#include "plugin/controls/win32_status.h"
#include "tools/host_app/host_objects.h"

namespace ramulet::win32 {

namespace {

constexpr wchar_t kHostClass[] = L"RamuletHost";
constexpr int kEditorId = 1;

Status RegisterHostClass(WNDPROC procedure) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kHostClass;
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return LastErrorStatus("Не удалось зарегистрировать класс окна программы-хоста");
  }
  return Status::Ok();
}

// A fixed-pitch font for the module's text.
HFONT CreateEditorFont() {
  LOGFONTW font = {};
  font.lfHeight = -13;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpyW(font.lfFaceName, L"DejaVu Sans Mono");
  return CreateFontIndirectW(&font);
}

Status Failed(HRESULT hr, const std::string& what) {
  return Status::Error(hr, what + " (ошибка 0x" + [hr] {
    char hex[9];
    wsprintfA(hex, "%08lX", static_cast<unsigned long>(hr));
    return std::string(hex);
  }() + ")");
}

}  // namespace

Status HostAppWindow::Create(const std::wstring& file_name, const std::wstring& module_text,
                          std::unique_ptr<HostAppWindow>& window) {
  std::unique_ptr<HostAppWindow> created(new HostAppWindow());
  RAMULET_RETURN_IF_ERROR(created->CreateWindows(file_name, module_text));
  RAMULET_RETURN_IF_ERROR(created->CreatePanel());
  ShowWindow(created->hwnd_, SW_SHOW);
  UpdateWindow(created->hwnd_);
  window = std::move(created);
  return Status::Ok();
}

Status HostAppWindow::CreateWindows(const std::wstring& file_name, const std::wstring& module_text) {
  RAMULET_RETURN_IF_ERROR(RegisterHostClass(WindowProcedure));
  std::wstring title = L"Рамулет — " + file_name;
  hwnd_ = CreateWindowExW(0, kHostClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 1000, 720,
                          nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return LastErrorStatus("Не удалось создать окно программы-хоста");
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  editor_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                                ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                            0, 0, 10, 10, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                            GetModuleHandleW(nullptr), nullptr);
  caption_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_SUNKEN, 0, 0,
                             10, 10, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!editor_ || !caption_) return LastErrorStatus("Не удалось создать редактор программы-хоста");
  editor_font_ = CreateEditorFont();
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(editor_font_ ? editor_font_ : font), FALSE);
  SendMessageW(caption_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(editor_, EM_SETLIMITTEXT, 0, 0);
  text_ = new EditorText(editor_);
  SetModuleText(module_text);
  Layout();
  return Status::Ok();
}

Status HostAppWindow::CreatePanel() {
  HRESULT hr = configurator_class_.Register(text_);
  if (FAILED(hr)) return Failed(hr, "Не удалось зарегистрировать класс конфигуратора программы-хоста");
  ComPtr<IHostConfigurator> configurator;
  hr = CreateConfiguratorObject(text_, configurator.Out());
  if (FAILED(hr)) return Failed(hr, "Не удалось создать конфигуратор программы-хоста");
  std::wstring title;
  hr = container_.Create(hwnd_, PanelColumn(), configurator.get(), title);
  if (FAILED(hr)) return Failed(hr, "Не удалось создать панель Korvex.Ramulet в её контейнере");
  SetWindowTextW(caption_, (L" " + title).c_str());
  Layout();
  return Status::Ok();
}

HostAppWindow::~HostAppWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (text_) text_->Release();
  if (editor_font_) DeleteObject(editor_font_);
}

void HostAppWindow::SetModuleText(const std::wstring& text) {
  SetWindowTextW(editor_, text.c_str());
  text_->Invalidate();
}

// The panel's column below the caption bar.
RECT HostAppWindow::PanelColumn() const {
  RECT client;
  GetClientRect(hwnd_, &client);
  ScreenUnits units = ScreenUnits::OfScreen();
  int width = std::max<int>(units.XPixels(kPanelDesignWidth), (client.right - client.left) / 3);
  return RECT{client.right - width, client.top + caption_height_, client.right, client.bottom};
}

void HostAppWindow::Layout() {
  if (!editor_) return;
  RECT panel = PanelColumn();
  RECT client;
  GetClientRect(hwnd_, &client);
  MoveWindow(editor_, 0, 0, panel.left, client.bottom, TRUE);
  MoveWindow(caption_, panel.left, 0, panel.right - panel.left, caption_height_, TRUE);
  if (container_.frame()) {
    MoveWindow(container_.frame(), panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top, TRUE);
  }
}

bool HostAppWindow::PreTranslateMessage(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  wchar_t class_name[32] = {};
  if (!root || !GetClassNameW(root, class_name, 32) || lstrcmpW(class_name, kHostClass) != 0) return false;
  auto* host = reinterpret_cast<HostAppWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  return host && host->hwnd_ && host->container_.TranslateAccelerator(message);
}

int HostAppWindow::RunMessageLoop(HWND dialog_window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (PreTranslateMessage(message)) continue;
    if (dialog_window && IsDialogMessageW(dialog_window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void HostAppWindow::OnDestroy() {
  container_.Close();
  configurator_class_.Revoke();
  text_->Detach();
  hwnd_ = nullptr;
  PostQuitMessage(0);
}

LRESULT CALLBACK HostAppWindow::WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* host = static_cast<HostAppWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    host->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
  }
  auto* host = reinterpret_cast<HostAppWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!host || !host->hwnd_) return DefWindowProcW(window, message, wparam, lparam);
  return host->HandleMessage(message, wparam, lparam);
}

LRESULT HostAppWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kEditorId && HIWORD(wparam) == EN_CHANGE) text_->Invalidate();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

}  // namespace ramulet::win32
