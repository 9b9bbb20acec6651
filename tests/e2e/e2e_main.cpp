// ramulet-host-e2e.exe MODULE [READY DONE]: runs the host on MODULE with the
// panel in its ActiveX container and drives it as a user would, checking
// the windows against the portable analysis of the same text. With READY and
// DONE it shows a method for a screenshot at the end, creates the file READY
// holding the host window's geometry, and waits (at most a minute) for the
// file DONE.

#include "plugin/com/com.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "tools/host_app/dll_registration.h"
#include "tools/host_app/host_window.h"
#include "tools/host_app/module_file.h"
#include "tests/e2e/box_watcher.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace {

using namespace e2e;

// Writes the host window's place on the screen, "WxH+X+Y", into READY.
void WaitForScreenshot(HWND host, const std::wstring& ready, const std::wstring& done) {
  RECT rect;
  GetWindowRect(host, &rect);
  std::string geometry = std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top) + "+" +
                         std::to_string(rect.left) + "+" + std::to_string(rect.top) + "\n";
  HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, geometry.data(), static_cast<DWORD>(geometry.size()), &written, nullptr);
    CloseHandle(file);
  }
  for (int waited = 0; waited < 600 && GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited) {
    Pump();
    Sleep(90);
  }
}

void RunGroups(Context& context, const std::wstring& module_text) {
  context.view = PanelView::Find(context.host->container().panel());
  if (!Check("the panel's window is found", context.view.Complete())) return;
  Check("the caption shows the title Init gave", WindowText(context.host->caption()) == L" Рамулет");
  if (!Check("the portable analysis reads the example", context.Reanalyse())) return;
  TestLayout(context);
  TestTree(context);
  TestNavigation(context);
  TestResize(context);
  TestActiveX(context);
  TestAmbientFont(context);
  TestErrorBox(context);
  TestLargeModule(context);
  TestRealMessageBoxes(context);
  TestDoneThenRefresh(context, module_text);
}

int Run(int count, wchar_t** arguments) {
  if (count != 2 && count != 4) {
    Print("usage: ramulet-host-e2e.exe MODULE [READY DONE]\n");
    return 2;
  }
  std::wstring text;
  ramulet::Status read = ramulet::win32::ReadModuleFile(arguments[1], text);
  if (!Check("the module file is read", read.ok(), read.message())) return 1;
  Check("Korvex.Ramulet is registered", SUCCEEDED(ramulet::win32::EnsureRamuletRegistered()));

  Context context;
  // Every box the panel shows is a real one, answered from this thread.
  WatchMessageBoxes();

  std::unique_ptr<ramulet::win32::HostWindow> host;
  ramulet::Status created = ramulet::win32::HostWindow::Create(L"sales_module.bsl", text, host);
  if (Check("the host shows the panel in its container", created.ok(), created.message())) {
    context.host = host.get();
    Pump();
    RunGroups(context, text);
    if (count == 4) {
      context.host->SetModuleText(text);
      PrepareScreenshot(context);
      WaitForScreenshot(host->hwnd(), arguments[2], arguments[3]);
    }
  }
  host.reset();
  Pump();
  StopWatchingMessageBoxes();
  Print(std::to_string(Passed()) + " passed, " + std::to_string(Failed()) + " failed\n");
  return Failed() == 0 ? 0 : 1;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  int code = Run(count, arguments);
  OleUninitialize();
  return code;
}
