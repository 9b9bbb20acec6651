#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace ramulet {

// Outcome of every operation that can fail. The code follows the COM
// convention (negative is failure) so the Windows layer can hand it on as an
// HRESULT; the message is readable UTF-8 text for the user or the log.
class Status {
 public:
  enum Code : int32_t {
    kOk = 0,
    kFail = static_cast<int32_t>(0x80004005),          // E_FAIL
    kInvalidArgument = static_cast<int32_t>(0x80070057),  // E_INVALIDARG
    kTypeMismatch = static_cast<int32_t>(0x80020005),   // DISP_E_TYPEMISMATCH
    kOutOfRange = static_cast<int32_t>(0x8002000B),     // DISP_E_BADINDEX
    kNoInterface = static_cast<int32_t>(0x80004002),    // E_NOINTERFACE
    kOutOfMemory = static_cast<int32_t>(0x8007000E),    // E_OUTOFMEMORY
    kNotRegistered = static_cast<int32_t>(0x80040154),  // REGDB_E_CLASSNOTREG
    kDuplicateKey = static_cast<int32_t>(0x800A01C9),   // "key already exists"
    kHostError = static_cast<int32_t>(0x80040200),      // a host call failed
  };

  Status() = default;
  Status(int32_t code, std::string message) : code_(code), message_(std::move(message)) {}

  static Status Ok() { return Status(); }
  static Status Error(int32_t code, std::string message) { return Status(code, std::move(message)); }

  bool ok() const { return code_ >= 0; }
  int32_t code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  int32_t code_ = kOk;
  std::string message_;
};

}  // namespace ramulet

// Ends the calling function with the status when it is a failure.
#define RAMULET_RETURN_IF_ERROR(expr)          \
  do {                                         \
    ::ramulet::Status ramulet_status_ = (expr); \
    if (!ramulet_status_.ok()) return ramulet_status_; \
  } while (0)
