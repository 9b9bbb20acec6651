// The host adapters over COM, driven by the portable refresh and call
// analysis against the fake host's COM objects.
#include "plugin/com/com.h"

#include <memory>
#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "host/host_configurator.h"
#include "panel/method_tables.h"
#include "panel/refresh.h"
#include "plugin/host_com/host_com.h"
#include "plugin/host_com/host_document.h"
#include "plugin/host_com/host_factory.h"
#include "plugin/com/variant_convert.h"
#include "tests/win32/expect_hresult.h"
#include "tests/win32/fake_host.h"

namespace {

using ramulet::HostConfigurator;
using ramulet::MethodTables;
using ramulet::ModuleAnalysis;
using ramulet::RefreshReport;
using ramulet::Status;
using ramulet::Variant;
using ramulet::win32::ComConfigurator;
using ramulet::win32::ComPtr;

const std::vector<std::u16string> kModule = {
    u"Процедура Первая()",  u"  Вторая();",   u"КонецПроцедуры",  u"Функция Вторая()", u"  Третья(1);",
    u"  Третья(2);",        u"КонецФункции", u"Процедура Третья(x)", u"КонецПроцедуры",
};

class RecordingList : public ramulet::MethodList {
 public:
  Status Clear() override {
    names.clear();
    return Status::Ok();
  }
  Status Append(std::u16string_view name) override {
    names.emplace_back(name);
    return Status::Ok();
  }
  std::vector<std::u16string> names;
};

class YesBoxes : public ramulet::MessageBoxes {
 public:
  Answer Show(std::u16string_view, std::optional<std::u16string_view>, Buttons, Icon) override { return Answer::Yes; }
};

struct RefreshRun {
  ModuleAnalysis analysis;
  MethodTables tables;
  RecordingList modul;
  RefreshReport report;
  Status status;
};

void Refresh(RefreshRun& run) {
  static const ramulet::ModuleAnalyzer analyzer;
  YesBoxes boxes;
  auto no_tree = [](const ModuleAnalysis&, MethodTables&) { return Status::Ok(); };
  run.status = ramulet::Refresh(analyzer, run.analysis, run.tables, run.modul, boxes, no_tree, &run.report);
}

void UseConfiguratorOf(FakeHost& host) {
  HostConfigurator::Set(std::make_shared<ComConfigurator>(ComPtr<IHostConfigurator>(NewFakeConfigurator(host))));
}

// The COM object a panel value stands for, as a client would receive it.
IUnknown* ComPointerOf(const Variant& value) {
  VARIANT converted;
  if (!ramulet::win32::ToVariant(value, converted).ok() || V_VT(&converted) != VT_DISPATCH) return nullptr;
  IUnknown* pointer = reinterpret_cast<IUnknown*>(V_DISPATCH(&converted));
  VariantClear(&converted);
  return pointer;
}

TEST(HostCom, CompleteRefresh) {
  FakeHost host;
  host.lines = kModule;
  UseConfiguratorOf(host);
  {
    RefreshRun run;
    Refresh(run);
    EXPECT_TRUE(run.status.ok());
    EXPECT_TRUE(run.report.outcome == RefreshReport::Outcome::Completed);
    EXPECT_TRUE((run.modul.names == std::vector<std::u16string>{u"Первая", u"Вторая", u"Третья"}));
    const MethodTables& t = run.tables;
    EXPECT_TRUE(t.LastMeth == 2);
    EXPECT_TRUE(t.CallCount(0) == 1 && t.CallTarget(0, 1) == 1 && t.CallLine(0, 1) == 1);
    EXPECT_TRUE(t.CallCount(1) == 2 && t.CallLine(1, 1) == 4 && t.CallLine(1, 2) == 5);
    EXPECT_TRUE(t.CallerCount(2) == 2 && t.CallerList(2, 1) == 1 && t.CallerList(2, 2) == 1);

    // At most one read per line and pass (the scan reads every line, the
    // analysis those below the first header), each passing the line by
    // reference; each name looked up once per document object.
    const int reads = host.Calls("Range");
    EXPECT_EQ(reads, 2 * static_cast<int>(kModule.size()) - 1);
    EXPECT_TRUE(host.range_argument_types == std::vector<VARTYPE>(reads, VT_BYREF | VT_I4));
    EXPECT_TRUE(host.Calls("GetIDsOfNames Range") == 1);
    EXPECT_TRUE(host.Calls("GetIDsOfNames LineCount") == 2);  // the window's document, then its text view
    EXPECT_TRUE(host.Calls("Windows") == 2 && host.Calls("ActiveWindow") == 2 && host.Calls("Document") == 1);

    // doc and curTextDoc are the host's text document itself.
    IUnknown* doc = ComPointerOf(t.doc);
    EXPECT_TRUE(doc != nullptr && doc == ComPointerOf(Variant::Object(t.curTextDoc)));

    // A second refresh wraps the documents anew, so it looks the names up again.
    Refresh(run);
    EXPECT_TRUE(run.status.ok());
    EXPECT_TRUE(host.Calls("GetIDsOfNames Range") == 2);
  }
  HostConfigurator::Clear();
  EXPECT_TRUE(host.live_objects == 0);
}

TEST(HostCom, PagedDocument) {
  FakeHost host;
  host.lines = kModule;
  host.paged = true;
  UseConfiguratorOf(host);
  {
    RefreshRun run;
    Refresh(run);
    EXPECT_TRUE(run.status.ok());
    EXPECT_TRUE(run.report.outcome == RefreshReport::Outcome::Completed);
    EXPECT_TRUE(host.Calls("ActivePage") == 1 && host.Calls("Page") == 1);
    EXPECT_TRUE(run.tables.LastMeth == 2);
  }
  HostConfigurator::Clear();
  EXPECT_TRUE(host.live_objects == 0);
}

TEST(HostCom, NoActiveWindow) {
  FakeHost host;
  host.lines = kModule;
  host.active_window = false;
  UseConfiguratorOf(host);
  {
    RefreshRun run;
    Refresh(run);
    EXPECT_TRUE(run.status.ok());
    EXPECT_TRUE(run.report.outcome == RefreshReport::Outcome::NoActiveWindow);
    EXPECT_TRUE(run.tables.Method.IsEmpty() && run.tables.doc.IsEmpty());
    EXPECT_TRUE(host.Calls("ActiveWindow") == 1 && host.Calls("Document") == 0);
  }
  HostConfigurator::Clear();
  EXPECT_TRUE(host.live_objects == 0);
}

TEST(HostCom, FailingHostCalls) {
  {
    // A late-bound member raising an exception: its code and description.
    FakeHost host;
    host.lines = kModule;
    host.fail_call = "Range";
    host.fail_at = 2;  // the scan's read of line 2, after the first header
    UseConfiguratorOf(host);
    RefreshRun run;
    Refresh(run);
    EXPECT_HR(FakeHost::kFailure, run.status.code());
    EXPECT_TRUE(run.status.message().find("the module is locked") != std::string::npos);
    EXPECT_TRUE(run.report.outcome == RefreshReport::Outcome::Failed);
    EXPECT_TRUE((run.modul.names == std::vector<std::u16string>{u"Первая"}));  // recorded before the failure
    HostConfigurator::Clear();
  }
  {
    // A slot call failing.
    FakeHost host;
    host.lines = kModule;
    host.fail_call = "ActiveWindow";
    UseConfiguratorOf(host);
    RefreshRun run;
    Refresh(run);
    EXPECT_HR(FakeHost::kFailure, run.status.code());
    EXPECT_TRUE(run.tables.doc.IsEmpty());
    HostConfigurator::Clear();
    EXPECT_EQ(0, host.live_objects);
  }
}

TEST(HostCom, ConfiguratorCreatedWhenEmpty) {
  FakeHost host;
  host.lines = kModule;
  FakeHostClass host_class(host);
  EXPECT_TRUE(SUCCEEDED(host_class.registered()));
  ramulet::win32::InstallHostConfiguratorFactory();
  HostConfigurator::Clear();
  {
    RefreshRun run;
    Refresh(run);
    EXPECT_TRUE(run.status.ok());
    EXPECT_TRUE(run.report.outcome == RefreshReport::Outcome::Completed);
    EXPECT_TRUE(host.Calls("CreateInstance") == 1);
    Refresh(run);  // the configurator made is kept
    EXPECT_TRUE(host.Calls("CreateInstance") == 1);
  }
  HostConfigurator::Clear();
  EXPECT_TRUE(host.live_configurators == 0);
}

TEST(HostCom, ConfiguratorNotRegistered) {
  ramulet::win32::InstallHostConfiguratorFactory();
  HostConfigurator::Clear();
  RefreshRun run;
  Refresh(run);
  EXPECT_HR(REGDB_E_CLASSNOTREG, run.status.code());
  EXPECT_TRUE(run.status.message() == "Конфигуратор программы-хоста не зарегистрирован");
  HostConfigurator::SetFactory(nullptr);
}

// The navigation's two calls, through slots 20 and 32.
TEST(HostCom, TextDocumentSlots) {
  FakeHost host;
  host.lines = kModule;
  {
    ramulet::win32::ComTextDocument text{ComPtr<IHostTextDocument>(NewFakeTextModule(host))};
    int32_t column = -1;
    EXPECT_TRUE(text.LineEnd(3, column).ok() && column == static_cast<int32_t>(kModule[3].size()));
    EXPECT_TRUE(text.Select(3, 0, Variant::Int32(3), Variant::Int32(column)).ok());
    EXPECT_TRUE(text.Select(4, 0, Variant::Int32(5), Variant::Int16(0)).ok());
    EXPECT_TRUE((host.selections == std::vector<std::string>{"Select 3 0 I4:3 I4:16", "Select 4 0 I4:5 I2:0"}));
    host.fail_call = "LineEnd";
    host.fail_at = 1;
    EXPECT_HR(FakeHost::kFailure, text.LineEnd(0, column).code());
  }
  EXPECT_TRUE(host.live_objects == 0);
}

// COM for the whole run, on the thread that runs the tests.
class ComEnvironment : public testing::Environment {
 public:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
};

const testing::Environment* const kCom = testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
