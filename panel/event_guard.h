#pragma once

#include <functional>

#include "platform/status.h"

namespace ramulet {

// What the user reads when memory ran out. A constant, so that showing it
// needs no allocation of ours.
inline constexpr char16_t kOutOfMemoryText[] = u"Недостаточно памяти для выполнения операции.";

// Runs `body` where the host calls into the panel, so that no C++ exception
// crosses into the host. An exception becomes an error status:
// std::bad_alloc one of code kOutOfMemory with an empty message (making a
// message would allocate), any other one of code kFail that says what it
// was as well as memory allows.
Status CallGuarded(const std::function<Status()>& body) noexcept;

// True for the status CallGuarded makes of std::bad_alloc.
inline bool IsBareOutOfMemory(const Status& status) {
  return status.code() == Status::kOutOfMemory && status.message().empty();
}

}  // namespace ramulet
