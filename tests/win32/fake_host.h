#pragma once

#include "plugin/com/com.h"

#include <map>
#include <string>
#include <vector>

// A host for the tests: the configurator, window set, active window and
// documents (a text module, and a document made of pages whose active page
// is that module) as COM objects over an in-memory module. Every call is
// counted, and one call can be made to fail.
struct FakeHost {
  std::vector<std::u16string> lines;
  bool paged = false;         // the active window shows a document made of pages
  bool active_window = true;  // false: no window is active

  // Call `fail_call` ("Range", "LineCount", "ActiveWindow", "LineEnd", ...)
  // fails the `fail_at`-th time (0-based).
  std::string fail_call;
  int fail_at = 0;
  static constexpr HRESULT kFailure = static_cast<HRESULT>(0x80041234);
  static constexpr const wchar_t* kFailureText = L"the module is locked";

  // Counts per call; late-bound lookups count as "GetIDsOfNames <name>".
  std::map<std::string, int> calls;
  std::vector<VARTYPE> range_argument_types;
  std::vector<std::string> selections;  // "Select 3 0 I4:3 I2:0"
  int live_objects = 0;
  int live_configurators = 0;

  int Calls(const std::string& name) const {
    auto it = calls.find(name);
    return it == calls.end() ? 0 : it->second;
  }
  // Counts the call and tells whether it is the one to fail.
  bool Enter(const std::string& name);
};

// New objects of the fake host, each with one reference for the caller.
IHostConfigurator* NewFakeConfigurator(FakeHost& host);
IHostTextDocument* NewFakeTextModule(FakeHost& host);
IDispatch* NewFakePagedDocument(FakeHost& host);

// Registers a class object for the host class ConfigHost on this thread
// (CoRegisterClassObject) that makes configurators of `host`.
class FakeHostClass {
 public:
  explicit FakeHostClass(FakeHost& host);
  ~FakeHostClass();
  FakeHostClass(const FakeHostClass&) = delete;
  FakeHostClass& operator=(const FakeHostClass&) = delete;
  HRESULT registered() const { return registered_; }

 private:
  DWORD cookie_ = 0;
  HRESULT registered_ = E_FAIL;
};
