#include "plugin/control/panel_window.h"

#include "panel/layout.h"
#include "platform/message_box.h"
#include "plugin/control/parking_window.h"
#include "plugin/control/window_class.h"
#include "plugin/controls/controls_module.h"
#include "plugin/controls/win32_status.h"
#include "plugin/com/escaped_exception.h"

namespace ramulet::win32 {

namespace {

constexpr wchar_t kPanelClass[] = L"RamuletPanel";

// The window that owns the panel's message boxes: its top-level window,
// none while the panel is parked.
HWND TopLevelOf(HWND panel) {
  HWND root = panel ? GetAncestor(panel, GA_ROOT) : nullptr;
  return root && IsWindowVisible(root) ? root : nullptr;
}

}  // namespace

PanelWindow::PanelWindow()
    : units_(ScreenUnits::OfScreen()), children_(units_), boxes_([this] { return TopLevelOf(hwnd_); }) {}

Status PanelWindow::Create(std::unique_ptr<PanelWindow>& panel) {
  std::unique_ptr<PanelWindow> created(new PanelWindow());
  RAMULET_RETURN_IF_ERROR(created->CreateWindows());
  created->ramulet_ = std::make_unique<Ramulet>(created->children_.controls(), created->boxes_);
  panel = std::move(created);
  return Status::Ok();
}

Status PanelWindow::CreateWindows() {
  if (!InitPanelCommonControls()) {
    return LastErrorStatus("Не удалось загрузить библиотеку стандартных элементов управления");
  }
  if (!RegisterModuleClass(kPanelClass, WindowProcedure, COLOR_BTNFACE)) {
    return LastErrorStatus("Не удалось зарегистрировать класс окна панели");
  }
  parking_ = AcquireParkingWindow();
  if (!parking_) return LastErrorStatus("Не удалось создать скрытое окно для панели");
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                          units_.XPixels(kPanelDesignWidth), units_.YPixels(kPanelDesignHeight), parking_, nullptr,
                          ClassModule(), this);
  if (!hwnd_) return LastErrorStatus("Не удалось создать окно панели");
  RAMULET_RETURN_IF_ERROR(children_.Create(hwnd_));
  SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  return Status::Ok();
}

void PanelWindow::UnregisterClasses() {
  UnregisterClassW(kPanelClass, ClassModule());
  UnregisterParkingClass();
}

PanelWindow::~PanelWindow() {
  // The window goes first: its children may still notify the controls.
  if (hwnd_) DestroyWindow(hwnd_);
  ramulet_.reset();
  if (parking_) ReleaseParkingWindow();
}

void PanelWindow::SetFont(HFONT font) { children_.SetFont(font); }

Status PanelWindow::ShowIn(HWND parent, const RECT& position) {
  if (!parent) return Status::Error(Status::kInvalidArgument, "Контейнер не предоставил окно для панели");
  if (GetParent(hwnd_) != parent && !SetParent(hwnd_, parent)) {
    return LastErrorStatus("Не удалось поместить панель в окно контейнера");
  }
  Place(position);
  ShowWindow(hwnd_, SW_SHOWNA);
  return Status::Ok();
}

void PanelWindow::Place(const RECT& position) {
  unsigned sizes_before = sizes_;
  SetWindowPos(hwnd_, nullptr, position.left, position.top, position.right - position.left,
               position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (sizes_ == sizes_before) children_.HandleSize();
}

void PanelWindow::Park() {
  ShowWindow(hwnd_, SW_HIDE);
  if (parking_ && GetParent(hwnd_) != parking_) SetParent(hwnd_, parking_);
}

bool PanelWindow::MoveFocusOnTab(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (!hwnd_ || !message.hwnd || !IsChild(hwnd_, message.hwnd)) return false;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  // A control that takes Tab itself keeps it.
  LRESULT wants = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
  if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
  // The panel's own child that holds the focus (a combo box's edit is a
  // grandchild).
  HWND from = message.hwnd;
  while (GetParent(from) != hwnd_) from = GetParent(from);
  HWND to = GetNextDlgTabItem(hwnd_, from, GetKeyState(VK_SHIFT) < 0);
  if (!to) return false;
  SetFocus(to);
  return true;
}

bool PanelWindow::Shown() const { return IsWindowVisible(hwnd_) && !IsParkingWindow(GetParent(hwnd_)); }

void PanelWindow::OnSize() {
  ++sizes_;
  if (ramulet_) children_.HandleSize();
}

LRESULT CALLBACK PanelWindow::WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* panel = reinterpret_cast<PanelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (panel) panel->hwnd_ = nullptr;
  }
  if (!panel || !panel->hwnd_) return DefWindowProcW(window, message, wparam, lparam);
  // The host's message loop is no place for a C++ exception: the refresh
  // and the tree build run here, and they allocate the most.
  try {
    return panel->HandleMessage(message, wparam, lparam);
  } catch (...) {
    panel->ShowEscapedException();
    return 0;
  }
}

void PanelWindow::ShowEscapedException() noexcept {
  EscapedException escaped = DescribeCurrentException();
  try {
    boxes_.Show(std::u16string_view(reinterpret_cast<const char16_t*>(escaped.text)), kRamuletTitle,
                MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Error);
  } catch (...) {
    // The box's own text could not be made: the same box straight from the
    // constants, which needs no memory of ours.
    MessageBoxW(TopLevelOf(hwnd_), escaped.text, reinterpret_cast<const wchar_t*>(kRamuletTitle),
                MB_OK | MB_ICONERROR);
  }
}

LRESULT PanelWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      children_.RouteCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      return children_.RouteNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_SIZE:
      OnSize();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

}  // namespace ramulet::win32
