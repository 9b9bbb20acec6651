// The host adapters over COM, driven by the portable refresh and call
// analysis against the fake host's COM objects.
#include "plugin/com/com.h"

#include <memory>
#include <string>
#include <vector>

#include "analysis/module_scanner.h"
#include "host/host_configurator.h"
#include "plugin/host_com/host_com.h"
#include "plugin/host_com/host_document.h"
#include "plugin/host_com/host_factory.h"
#include "plugin/com/variant_convert.h"
#include "tests/win32/check.h"
#include "tests/win32/fake_host.h"

void RunVariantConversionTests();

namespace {

using ramulet::HostConfigurator;
using ramulet::MethodTables;
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
  MethodTables tables;
  RecordingList modul;
  RefreshReport report;
  Status status;
};

void Refresh(RefreshRun& run) {
  YesBoxes boxes;
  run.status = ramulet::Refresh(run.tables, run.modul, boxes, [](MethodTables&) { return Status::Ok(); }, &run.report);
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

void TestCompleteRefresh() {
  FakeHost host;
  host.lines = kModule;
  UseConfiguratorOf(host);
  {
    RefreshRun run;
    Refresh(run);
    CHECK(run.status.ok());
    CHECK(run.report.outcome == RefreshReport::Outcome::Completed);
    CHECK((run.modul.names == std::vector<std::u16string>{u"Первая", u"Вторая", u"Третья"}));
    const MethodTables& t = run.tables;
    CHECK(t.LastMeth == 2);
    CHECK(t.CallCount(0) == 1 && t.CallTarget(0, 1) == 1 && t.CallLine(0, 1) == 1);
    CHECK(t.CallCount(1) == 2 && t.CallLine(1, 1) == 4 && t.CallLine(1, 2) == 5);
    CHECK(t.CallerCount(2) == 2 && t.CallerList(2, 1) == 1 && t.CallerList(2, 2) == 1);

    // Two reads per line in the scan, more in the analysis, each passing the
    // line by reference; each name looked up once per document object.
    const int reads = host.Calls("Range");
    CHECK(reads > 2 * static_cast<int>(kModule.size()));
    CHECK(host.range_argument_types == std::vector<VARTYPE>(reads, VT_BYREF | VT_I4));
    CHECK(host.Calls("GetIDsOfNames Range") == 1);
    CHECK(host.Calls("GetIDsOfNames LineCount") == 2);  // the window's document, then its text view
    CHECK(host.Calls("Windows") == 2 && host.Calls("ActiveWindow") == 2 && host.Calls("Document") == 1);

    // doc and curTextDoc are the host's text document itself.
    IUnknown* doc = ComPointerOf(t.doc);
    CHECK(doc != nullptr && doc == ComPointerOf(Variant::Object(t.curTextDoc)));

    // A second refresh wraps the documents anew, so it looks the names up again.
    Refresh(run);
    CHECK(run.status.ok());
    CHECK(host.Calls("GetIDsOfNames Range") == 2);
  }
  HostConfigurator::Clear();
  CHECK(host.live_objects == 0);
}

void TestPagedDocument() {
  FakeHost host;
  host.lines = kModule;
  host.paged = true;
  UseConfiguratorOf(host);
  {
    RefreshRun run;
    Refresh(run);
    CHECK(run.status.ok());
    CHECK(run.report.outcome == RefreshReport::Outcome::Completed);
    CHECK(host.Calls("ActivePage") == 1 && host.Calls("Page") == 1);
    CHECK(run.tables.LastMeth == 2);
  }
  HostConfigurator::Clear();
  CHECK(host.live_objects == 0);
}

void TestNoActiveWindow() {
  FakeHost host;
  host.lines = kModule;
  host.active_window = false;
  UseConfiguratorOf(host);
  {
    RefreshRun run;
    Refresh(run);
    CHECK(run.status.ok());
    CHECK(run.report.outcome == RefreshReport::Outcome::NoActiveWindow);
    CHECK(run.tables.Method.IsEmpty() && run.tables.doc.IsEmpty());
    CHECK(host.Calls("ActiveWindow") == 1 && host.Calls("Document") == 0);
  }
  HostConfigurator::Clear();
  CHECK(host.live_objects == 0);
}

void TestFailingHostCalls() {
  {
    // A late-bound member raising an exception: its code and description.
    FakeHost host;
    host.lines = kModule;
    host.fail_call = "Range";
    host.fail_at = 5;
    UseConfiguratorOf(host);
    RefreshRun run;
    Refresh(run);
    CHECK_HR(FakeHost::kFailure, run.status.code());
    CHECK(run.status.message().find("the module is locked") != std::string::npos);
    CHECK(run.report.outcome == RefreshReport::Outcome::Failed);
    CHECK((run.modul.names == std::vector<std::u16string>{u"Первая"}));  // recorded before the failure
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
    CHECK_HR(FakeHost::kFailure, run.status.code());
    CHECK(run.tables.doc.IsEmpty());
    HostConfigurator::Clear();
    CHECK_EQ(0, host.live_objects);
  }
}

void TestConfiguratorCreatedWhenEmpty() {
  FakeHost host;
  host.lines = kModule;
  FakeHostClass host_class(host);
  CHECK(SUCCEEDED(host_class.registered()));
  ramulet::win32::InstallHostConfiguratorFactory();
  HostConfigurator::Clear();
  {
    RefreshRun run;
    Refresh(run);
    CHECK(run.status.ok());
    CHECK(run.report.outcome == RefreshReport::Outcome::Completed);
    CHECK(host.Calls("CreateInstance") == 1);
    Refresh(run);  // the configurator made is kept
    CHECK(host.Calls("CreateInstance") == 1);
  }
  HostConfigurator::Clear();
  CHECK(host.live_configurators == 0);
}

void TestConfiguratorNotRegistered() {
  ramulet::win32::InstallHostConfiguratorFactory();
  HostConfigurator::Clear();
  RefreshRun run;
  Refresh(run);
  CHECK_HR(REGDB_E_CLASSNOTREG, run.status.code());
  CHECK(run.status.message() == "the host's configurator is not registered");
  HostConfigurator::SetFactory(nullptr);
}

// The navigation's two calls, through slots 20 and 32.
void TestTextDocumentSlots() {
  FakeHost host;
  host.lines = kModule;
  {
    ramulet::win32::ComTextDocument text{ComPtr<IHostTextDocument>(NewFakeTextModule(host))};
    int32_t column = -1;
    CHECK(text.LineEnd(3, column).ok() && column == static_cast<int32_t>(kModule[3].size()));
    CHECK(text.Select(3, 0, Variant::Int32(3), Variant::Int32(column)).ok());
    CHECK(text.Select(4, 0, Variant::Int32(5), Variant::Int16(0)).ok());
    CHECK((host.selections == std::vector<std::string>{"Select 3 0 I4:3 I4:16", "Select 4 0 I4:5 I2:0"}));
    host.fail_call = "LineEnd";
    host.fail_at = 1;
    CHECK_HR(FakeHost::kFailure, text.LineEnd(0, column).code());
  }
  CHECK(host.live_objects == 0);
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  TestCompleteRefresh();
  TestPagedDocument();
  TestNoActiveWindow();
  TestFailingHostCalls();
  TestConfiguratorCreatedWhenEmpty();
  TestConfiguratorNotRegistered();
  TestTextDocumentSlots();
  RunVariantConversionTests();
  CoUninitialize();
  return CheckSummary();
}
