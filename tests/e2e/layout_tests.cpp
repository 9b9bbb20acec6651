#include <windows.h>
#include <commctrl.h>

#include "panel/layout.h"
#include "plugin/controls/child_window.h"
#include "plugin/controls/screen_units.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

using ramulet::DesignOf;
using ramulet::win32::ScreenUnits;

bool HasStyle(HWND window, LONG style) { return (GetWindowLongW(window, GWL_STYLE) & style) == style; }
bool LacksStyle(HWND window, LONG style) { return (GetWindowLongW(window, GWL_STYLE) & style) == 0; }

// The width the panel gives its stretched controls: its own client width,
// through twips and back.
int StretchedWidth(const PanelView& view) {
  RECT client;
  GetClientRect(view.panel, &client);
  ScreenUnits units = ScreenUnits::OfScreen();
  return units.XPixels(units.XTwips(client.right));
}

// Modul is never shown, and each label shows its whole caption on one line
// (clipped at most by the panel's edge).
void CheckHiddenModulAndLabels(const PanelView& view, const std::string& when) {
  Check(when + ": Modul is hidden", IsWindowVisible(view.modul) == FALSE);
  RECT panel;
  GetClientRect(view.panel, &panel);
  for (HWND label : {view.label1, view.label2}) {
    std::wstring caption = WindowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE text = {};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT place = RectInParent(label);
    bool one_line = (GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    bool whole = place.right - place.left >= text.cx || place.right >= panel.right;
    Check(when + ": " + Utf8(caption) + " is drawn on one line, whole up to the panel's edge", one_line && whole,
          "label " + std::to_string(place.right - place.left) + " px, caption " + std::to_string(text.cx) + " px");
  }
}

void CheckStretched(const PanelView& view, const std::string& when) {
  int expected = StretchedWidth(view);
  HWND stretched[] = {view.tree, view.button, view.list1, view.list2};
  const char* names[] = {"tree", "button", "ListBox1", "ListBox2"};
  for (int i = 0; i < 4; ++i) {
    Check(when + ": " + names[i] + " is as wide as the panel", WidthOf(stretched[i]) == expected,
          std::to_string(WidthOf(stretched[i])) + " px, panel " + std::to_string(expected) + " px");
  }
}

void ResizeHost(HWND host, int width, int height) {
  SetWindowPos(host, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
}

}  // namespace

void TestLayout(Context& context) {
  const PanelView& view = context.view;
  Check("all seven controls exist", view.Complete());
  Check("the panel sits in the container's window", GetParent(view.panel) == context.host->container().frame());
  Check("the panel is visible", IsWindowVisible(view.panel) != FALSE);

  std::vector<int> order;
  for (HWND child = GetWindow(view.panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(GetDlgCtrlID(child));
  }
  std::vector<int> tab_order;
  for (const char* name : {"Modul", "CommandButton1", "Label1", "Label2", "ListBox1", "ListBox2", "TreeView1"}) {
    tab_order.push_back(ramulet::win32::ControlIdOf(DesignOf(name)));
  }
  Check("the controls stand in tab order", order == tab_order);
  Check("labels never take the focus", LacksStyle(view.label1, WS_TABSTOP) && LacksStyle(view.label2, WS_TABSTOP));
  Check("the other controls are tab stops",
        HasStyle(view.modul, WS_TABSTOP) && HasStyle(view.button, WS_TABSTOP) && HasStyle(view.list1, WS_TABSTOP) &&
            HasStyle(view.list2, WS_TABSTOP) && HasStyle(view.tree, WS_TABSTOP));
  Check("the button's caption", WindowText(view.button) == L"Обновить");
  Check("Label1's caption", WindowText(view.label1) == L"Вызываются процедуры:");
  Check("Label2's caption", WindowText(view.label2) == L"Используется в процедурах:");
  Check("tree styles", HasStyle(view.tree, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS));
  Check("list boxes notify and do not sort",
        HasStyle(view.list1, LBS_NOTIFY) && LacksStyle(view.list1, LBS_SORT) && HasStyle(view.list2, LBS_NOTIFY) &&
            LacksStyle(view.list2, LBS_SORT));
  Check("Modul is an unsorted drop-down list",
        (GetWindowLongW(view.modul, GWL_STYLE) & 3) == CBS_DROPDOWNLIST && LacksStyle(view.modul, CBS_SORT));
  bool fonts = true;
  for (HWND child : {view.modul, view.button, view.label1, view.label2, view.list1, view.list2, view.tree}) {
    fonts = fonts && SendMessageW(child, WM_GETFONT, 0, 0) != 0;
  }
  Check("every control has the container's font", fonts);

  ScreenUnits units = ScreenUnits::OfScreen();
  RECT tree = RectInParent(view.tree);
  const auto& design = DesignOf("TreeView1");
  Check("the tree stands at its design place",
        tree.left == units.XPixels(design.left) && tree.top == units.YPixels(design.top) &&
            tree.bottom - tree.top == units.YPixels(design.height));
  RECT modul = RectInParent(view.modul);
  Check("Modul lies right of the panel's design width", modul.left == units.XPixels(DesignOf("Modul").left) &&
                                                            modul.left > units.XPixels(ramulet::kPanelDesignWidth));
  CheckStretched(view, "first sizing");
  CheckHiddenModulAndLabels(view, "first sizing");
}

void TestResize(Context& context) {
  const PanelView& view = context.view;
  HWND host = context.host->hwnd();
  RECT before;
  GetWindowRect(host, &before);
  RECT modul_before = RectInParent(view.modul);
  int label_before = WidthOf(view.label1);
  RECT panel_before;
  GetClientRect(view.panel, &panel_before);

  ResizeHost(host, 1400, 760);
  RECT panel_after;
  GetClientRect(view.panel, &panel_after);
  Check("widening the host widens the panel", panel_after.right > panel_before.right,
        std::to_string(panel_before.right) + " -> " + std::to_string(panel_after.right));
  CheckStretched(view, "wider host");
  CheckHiddenModulAndLabels(view, "wider host");
  RECT modul_after = RectInParent(view.modul);
  Check("resizing never moves Modul", EqualRect(&modul_before, &modul_after) != FALSE);
  Check("resizing leaves the labels' widths", WidthOf(view.label1) == label_before);

  ResizeHost(host, 1400, 600);
  CheckStretched(view, "lower host");
  RECT tree = RectInParent(view.tree);
  Check("a lower host keeps the tree's design height",
        tree.bottom - tree.top == ScreenUnits::OfScreen().YPixels(ramulet::DesignOf("TreeView1").height));

  ResizeHost(host, before.right - before.left, before.bottom - before.top);
  CheckStretched(view, "host restored");
}

}  // namespace e2e
