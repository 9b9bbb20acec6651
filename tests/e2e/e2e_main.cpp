// ramulet-host-e2e.exe [gtest options] MODULE [READY DONE]: runs the host on
// MODULE (the example module) with the panel in its ActiveX container and
// drives it as a user would, as GoogleTest tests, checking the windows
// against the example's expected values (example_module.h). With READY and
// DONE it shows a method for a screenshot at the end, creates the file READY
// holding the host window's geometry, and waits (at most a minute) for the
// file DONE.

#include "plugin/com/com.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "tools/host_app/dll_registration.h"
#include "tools/host_app/host_app_window.h"
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

// What the run set up before the tests: the module's text, the host
// with the panel, the panel's windows.
struct Setup {
  std::wstring module_text;
  ramulet::Status read = ramulet::Status::Ok();
  HRESULT registered = E_FAIL;
  ramulet::Status created = ramulet::Status::Ok();
  Context context;
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

TEST(Startup, ModuleFileIsRead) { EXPECT_TRUE(TheSetup().read.ok()) << TheSetup().read.message(); }
TEST(Startup, RamuletIsRegistered) { EXPECT_HRESULT_SUCCEEDED(TheSetup().registered); }
TEST(Startup, HostShowsPanelInItsContainer) {
  EXPECT_TRUE(TheSetup().created.ok()) << TheSetup().created.message();
}

// The host with the panel, in the state the tests before left it: the
// tests run in the order they are written here, as a user's session would.
class Panel : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TheSetup().context.host != nullptr) << "no host window";
    ASSERT_TRUE(TheSetup().context.view.Complete()) << "the panel's windows are not all found";
  }
  Context& context() { return TheSetup().context; }
};

TEST_F(Panel, CaptionShowsTheTitleInitGave) {
  EXPECT_EQ(" Рамулет", Utf8(WindowText(context().host->caption())));
}
TEST_F(Panel, Layout) { TestLayout(context()); }
TEST_F(Panel, Tree) { TestTree(context()); }
TEST_F(Panel, Navigation) { TestNavigation(context()); }
TEST_F(Panel, Resize) { TestResize(context()); }
TEST_F(Panel, ActiveX) { TestActiveX(context()); }
TEST_F(Panel, TabOrder) { TestTabOrder(context()); }
TEST_F(Panel, AmbientFont) { TestAmbientFont(context()); }
TEST_F(Panel, ErrorBox) { TestErrorBox(context()); }
TEST_F(Panel, HostFailureBox) { TestHostFailureBox(context()); }
TEST_F(Panel, LargeModule) { TestLargeModule(context()); }
TEST_F(Panel, RefreshSeries) { TestRefreshSeries(context()); }
TEST_F(Panel, RealMessageBoxes) { TestRealMessageBoxes(context()); }
TEST_F(Panel, DoneThenRefresh) { TestDoneThenRefresh(context(), TheSetup().module_text); }

int Run(int count, wchar_t** arguments) {
  if (count != 2 && count != 4) {
    Print("usage: ramulet-host-e2e.exe [gtest options] MODULE [READY DONE]\n");
    return 2;
  }
  Setup& setup = TheSetup();
  setup.read = ramulet::win32::ReadModuleFile(arguments[1], setup.module_text);
  if (setup.read.ok()) setup.registered = ramulet::win32::EnsureRamuletRegistered();

  // Every box the panel shows is a real one, answered from this thread.
  WatchMessageBoxes();
  std::unique_ptr<ramulet::win32::HostAppWindow> host;
  if (setup.read.ok()) {
    setup.created = ramulet::win32::HostAppWindow::Create(L"sales_module.bsl", setup.module_text, host);
  }
  if (host) {
    setup.context.host = host.get();
    Pump();
    setup.context.view = PanelView::Find(host->container().panel());
  }
  int result = RUN_ALL_TESTS();
  if (host && count == 4) {
    host->SetModuleText(setup.module_text);
    PrepareScreenshot(setup.context);
    WaitForScreenshot(host->hwnd(), arguments[2], arguments[3]);
  }
  setup.context.host = nullptr;
  host.reset();
  Pump();
  StopWatchingMessageBoxes();
  return result;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  testing::InitGoogleTest(&count, arguments);
  if (FAILED(OleInitialize(nullptr))) return 1;
  int code = Run(count, arguments);
  OleUninitialize();
  return code;
}
