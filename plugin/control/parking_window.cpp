#include "plugin/control/parking_window.h"

#include "plugin/control/window_class.h"

namespace ramulet::win32 {

namespace {

constexpr wchar_t kParkingClass[] = L"RamuletParking";

thread_local HWND parking = nullptr;
thread_local int parked_users = 0;

}  // namespace

HWND AcquireParkingWindow() {
  if (!parking) {
    if (!RegisterModuleClass(kParkingClass, DefWindowProcW, 0)) return nullptr;
    parking = CreateWindowExW(WS_EX_TOOLWINDOW, kParkingClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              ClassModule(), nullptr);
    if (!parking) return nullptr;
  }
  ++parked_users;
  return parking;
}

void ReleaseParkingWindow() {
  if (parked_users > 0 && --parked_users == 0 && parking) {
    DestroyWindow(parking);
    parking = nullptr;
  }
}

bool IsParkingWindow(HWND window) { return window && window == parking; }

void UnregisterParkingClass() { UnregisterClassW(kParkingClass, ClassModule()); }

}  // namespace ramulet::win32
