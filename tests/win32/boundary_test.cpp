// No C++ exception leaves the control where the host calls it: a window
// procedure, a COM method, the registration exports. The control's code is
// linked into this program, whose handlers are swapped for ones that throw,
// and whose operator new can be made to fail, so that the reports
// themselves must do without memory.
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

#include "panel/layout.h"
#include "plugin/com/com_ptr.h"
#include "plugin/controls/child_window.h"
#include "plugin/com/guarded_call.h"
#include "plugin/control/ramulet_object.h"
#include "plugin/com/registration.h"
#include "plugin/com/type_info_cache.h"
#include "tests/win32/expect_hresult.h"

namespace {

bool fail_allocations = false;

}  // namespace

// Test-only: every C++ allocation of this program fails while asked to.
void* operator new(size_t size) {
  if (fail_allocations) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace {

using ramulet::Status;
using ramulet::win32::ComPtr;
using ramulet::win32::RamuletObject;

// The boxes shown, read from inside their modal loops into fixed buffers
// (allocations may be failing) and answered with OK.
struct SeenBoxes {
  int count = 0;
  wchar_t caption[64] = {};
  wchar_t text[256] = {};
} seen;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

BOOL CALLBACK ReadText(HWND child, LPARAM) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (lstrcmpiW(name, L"Static") == 0 && !seen.text[0]) GetWindowTextW(child, seen.text, 256);
  return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box || GetPropW(box, L"answered")) return;
  fail_allocations = false;
  SetPropW(box, L"answered", reinterpret_cast<HANDLE>(1));
  ++seen.count;
  GetWindowTextW(box, seen.caption, 64);
  seen.text[0] = 0;
  EnumChildWindows(box, ReadText, 0);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

void ForgetBoxes() { seen = SeenBoxes(); }

bool StartsWith(const wchar_t* text, const wchar_t* prefix) { return wcsncmp(text, prefix, wcslen(prefix)) == 0; }

HWND ButtonOf(RamuletObject* object) {
  return GetDlgItem(object->panel->window->hwnd(),
                    ramulet::win32::ControlIdOf(ramulet::DesignOf("CommandButton1")));
}

// A click whose handler throws: the panel's window procedure catches it and
// tells the user in one error box titled as the panel.
void CheckThrowingClick(RamuletObject* object) {
  struct Case {
    const char* name;
    bool exhaust_memory;  // no allocation succeeds from the throw on
    bool out_of_memory;
    const wchar_t* text;
  };
  const Case cases[] = {
      {"out of memory", false, true, L"Недостаточно памяти"},
      {"out of memory, and the box's own text cannot be made", true, true, L"Недостаточно памяти"},
      {"another exception", false, false, L"Внутренняя ошибка"},
  };
  HWND button = ButtonOf(object);
  EXPECT_TRUE(button != nullptr);
  for (const Case& c : cases) {
    object->panel->window->controls().CommandButton1->OnClick([&c]() -> Status {
      if (!c.out_of_memory) throw std::runtime_error("handler failed");
      fail_allocations = c.exhaust_memory;
      throw std::bad_alloc();
    });
    ForgetBoxes();
    SendMessageW(button, BM_CLICK, 0, 0);
    fail_allocations = false;
    EXPECT_TRUE(seen.count == 1 && StartsWith(seen.text, c.text) && lstrcmpW(seen.caption, L"Рамулет") == 0)
        << c.name << ": boxes " << seen.count;
  }
}

// The resize handler runs inside SetObjectRects: directly when the size
// stays, from the window procedure when it changes.
void CheckThrowingResize(RamuletObject* object) {
  object->panel->window->controls().UserControl->OnResize([]() -> Status { throw std::bad_alloc(); });
  ComPtr<IOleInPlaceObject> in_place;
  EXPECT_TRUE(SUCCEEDED(ramulet::win32::QueryInterfaceOf(&object->automation, IID_IOleInPlaceObject, in_place)));
  if (!in_place) return;
  RECT first = {0, 0, 300, 400};
  ForgetBoxes();
  HRESULT hr = in_place.get()->lpVtbl->SetObjectRects(in_place.get(), &first, &first);
  EXPECT_TRUE(seen.count == 1 || hr == E_OUTOFMEMORY);
  hr = in_place.get()->lpVtbl->SetObjectRects(in_place.get(), &first, &first);
  EXPECT_HR(E_OUTOFMEMORY, hr);
  object->panel->window->controls().UserControl->OnResize(nullptr);
}

// The error report of a guarded COM method when nothing can be allocated.
void CheckGuardedWithoutMemory() {
  HRESULT hr = ramulet::win32::Guarded(IID__Ramulet, []() -> HRESULT {
    fail_allocations = true;
    throw std::bad_alloc();
  });
  fail_allocations = false;
  EXPECT_HR(E_OUTOFMEMORY, hr);
  ComPtr<IErrorInfo> info;
  BSTR description = nullptr;
  EXPECT_TRUE(GetErrorInfo(0, info.Out()) == S_OK && info &&
              SUCCEEDED(info.get()->lpVtbl->GetDescription(info.get(), &description)) && description &&
              StartsWith(description, L"Недостаточно памяти"));
  SysFreeString(description);

  fail_allocations = true;
  hr = ramulet::win32::ReportError(DISP_E_TYPEMISMATCH, std::string(), IID__Ramulet);
  fail_allocations = false;
  EXPECT_HR(DISP_E_TYPEMISMATCH, hr);
}

// Type information is loaded inside IDispatch methods: no memory for the
// module's path is an error result.
void CheckTypeInfoWithoutMemory() {
  ITypeInfo* info = nullptr;
  fail_allocations = true;
  HRESULT hr = ramulet::win32::GetTypeInfoOf(IID__Ramulet, &info);
  fail_allocations = false;
  EXPECT_HR(E_OUTOFMEMORY, hr);
  EXPECT_TRUE(info == nullptr);
}

void CheckRegistrationWithoutMemory() {
  fail_allocations = true;
  HRESULT registered = ramulet::win32::RegisterServer();
  fail_allocations = true;
  HRESULT unregistered = ramulet::win32::UnregisterServer();
  fail_allocations = false;
  EXPECT_HR(E_OUTOFMEMORY, registered);
  EXPECT_HR(E_OUTOFMEMORY, unregistered);
}

// A control made by the DLL's own creation function, inside this program.
class BoundaryControl : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(ramulet::win32::CreateRamulet(nullptr, IID_IUnknown, unknown_.OutVoid())));
  }
  RamuletObject* object() {
    return CONTAINING_RECORD(reinterpret_cast<_Ramulet*>(unknown_.get()), RamuletObject, automation);
  }

 private:
  ComPtr<IUnknown> unknown_;
};

TEST_F(BoundaryControl, ThrowingClick) { CheckThrowingClick(object()); }
TEST_F(BoundaryControl, ThrowingResize) { CheckThrowingResize(object()); }
TEST(Boundary, GuardedWithoutMemory) { CheckGuardedWithoutMemory(); }
TEST(Boundary, RegistrationWithoutMemory) { CheckRegistrationWithoutMemory(); }
TEST(Boundary, TypeInfoWithoutMemory) { CheckTypeInfoWithoutMemory(); }

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  UINT_PTR timer = SetTimer(nullptr, 0, 30, AnswerBox);
  int result = RUN_ALL_TESTS();
  KillTimer(nullptr, timer);
  OleUninitialize();
  return result;
}
