#include "panel/event_guard.h"

#include <exception>
#include <new>
#include <string>

namespace ramulet {

namespace {

Status InternalError(const char* what) noexcept {
  try {
    return Status::Error(Status::kFail, std::string("Внутренняя ошибка панели: ") + what);
  } catch (...) {
    return Status(Status::kOutOfMemory, std::string());
  }
}

}  // namespace

Status CallGuarded(const std::function<Status()>& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return Status(Status::kOutOfMemory, std::string());
  } catch (const std::exception& error) {
    return InternalError(error.what());
  } catch (...) {
    return InternalError("исключение неизвестного вида");
  }
}

}  // namespace ramulet
