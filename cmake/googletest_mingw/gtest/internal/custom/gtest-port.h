// GoogleTest's customization point, found before the distribution's empty
// one when GoogleTest is built with MinGW-w64 (cmake/googletest.cmake).
//
// MinGW-w64's default (win32) thread model has no std::mutex or
// std::condition_variable, which GoogleTest's Notification is written
// with; everything else of its thread support uses Win32 directly. This
// Notification waits on a Win32 event instead.
#ifndef RAMULET_GTEST_CUSTOM_PORT_H_
#define RAMULET_GTEST_CUSTOM_PORT_H_

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Lets a controller thread hold newly created threads until notified.
class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif  // RAMULET_GTEST_CUSTOM_PORT_H_
