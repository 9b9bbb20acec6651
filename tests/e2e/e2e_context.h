#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "cli/analysis_run.h"
#include "tools/host_app/host_window.h"

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

// One host with the panel, and what the portable analysis makes of the
// module the host's editor shows: the tests compare the windows with it.
struct Context {
  ramulet::win32::HostWindow* host = nullptr;
  PanelView view;
  std::unique_ptr<ramulet::AnalysisResult> model;

  HWND editor() const { return host->editor(); }
  // Analyses the editor's text as the panel would; false when it fails.
  bool Reanalyse();
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
void TestRealMessageBoxes(Context& context);
void TestLargeModule(Context& context);
void TestDoneThenRefresh(Context& context, const std::wstring& module_text);
void TestActiveX(Context& context);
void TestAmbientFont(Context& context);

// Shows a chosen method with its tree and lists for the screenshot.
void PrepareScreenshot(Context& context);

}  // namespace e2e
