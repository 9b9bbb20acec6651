#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tools/host_app/host_app_window.h"

namespace e2e {

// The panel's child windows, found by their control identifiers.
struct PanelView {
  HWND panel = nullptr;
  HWND modul = nullptr;
  HWND button = nullptr;
  HWND label1 = nullptr;
  HWND label2 = nullptr;
  HWND list1 = nullptr;
  HWND list2 = nullptr;
  HWND tree = nullptr;

  static PanelView Find(HWND panel);
  bool Complete() const;
};

// One host with the panel; the tests compare its windows with the
// example module's expected values (example_module.h).
struct Context {
  ramulet::win32::HostAppWindow* host = nullptr;
  PanelView view;

  HWND editor() const { return host->editor(); }
  // The message boxes shown (and answered by the box watcher) since the
  // last call, one BoxLine each.
  std::string TakeBoxLog();
};

// The test groups, each in its own file.
void TestLayout(Context& context);
void TestTree(Context& context);
void TestNavigation(Context& context);
void TestResize(Context& context);
void TestErrorBox(Context& context);
void TestHostFailureBox(Context& context);
void TestTabOrder(Context& context);
void TestRealMessageBoxes(Context& context);
void TestLargeModule(Context& context);
void TestRefreshSeries(Context& context);
void TestDoneThenRefresh(Context& context, const std::wstring& module_text);
void TestActiveX(Context& context);
void TestAmbientFont(Context& context);

// Expands the tree along the item texts of `path`, from the top level; the
// item of its last name, or null when a level lacks the name.
HTREEITEM ShowPath(HWND tree, const std::vector<std::wstring>& path);

// Shows a chosen method with its tree and lists for the screenshot.
void PrepareScreenshot(Context& context);

}  // namespace e2e
