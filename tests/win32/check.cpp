#include "tests/win32/check.h"

#include <cstdio>

namespace {

int passed_checks = 0;
int failed_checks = 0;

const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') base = p + 1;
  }
  return base;
}

}  // namespace

std::string HexText(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

void Check(bool passed, const char* what, const char* file, int line, const std::string& detail) {
  if (passed) {
    ++passed_checks;
    std::printf("ok - %s\n", what);
  } else {
    ++failed_checks;
    std::printf("FAIL - %s (%s:%d) %s\n", what, BaseName(file), line, detail.c_str());
  }
  std::fflush(stdout);
}

int CheckSummary() {
  std::printf("%d passed, %d failed\n", passed_checks, failed_checks);
  return failed_checks == 0 ? 0 : 1;
}
