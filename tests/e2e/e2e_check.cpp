#include "tests/e2e/e2e_check.h"

#include <windows.h>

namespace e2e {

void Print(std::string_view text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  FlushFileBuffers(out);
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::string Utf8(std::u16string_view text) {
  return Utf8(std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
}

bool Check(const std::string& name, bool passed, const std::string& detail, std::source_location where) {
  if (!passed) {
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << name << (detail.empty() ? "" : ": " + detail);
  }
  return passed;
}

}  // namespace e2e
