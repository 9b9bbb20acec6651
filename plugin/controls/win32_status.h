#pragma once

#include <windows.h>

#include <string>

#include "platform/status.h"

namespace ramulet::win32 {

// A failed Windows call as a Status: the thread's last error code and what
// was being done.
inline Status LastErrorStatus(const std::string& what) {
  DWORD error = GetLastError();
  HRESULT code = error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
  return Status::Error(code, what + " (ошибка " + std::to_string(error) + ")");
}

}  // namespace ramulet::win32
