#pragma once

#include <string>

// A minimal test log for the Windows test programs: one line per check,
// "ok - what" or "FAIL - what (file:line) detail", which run.sh counts.
void Check(bool passed, const char* what, const char* file, int line, const std::string& detail = std::string());
// The exit code: 0 when every check passed.
int CheckSummary();

#define CHECK(condition) Check(static_cast<bool>(condition), #condition, __FILE__, __LINE__)
#define CHECK_HR(expected, actual)                                                                        \
  do {                                                                                                    \
    long expected_ = static_cast<long>(expected), actual_ = static_cast<long>(actual);                    \
    Check(expected_ == actual_, #actual " == " #expected, __FILE__, __LINE__, "got " + HexText(actual_)); \
  } while (0)

#define CHECK_EQ(expected, actual)                                                                         \
  do {                                                                                                     \
    long long expected_ = static_cast<long long>(expected), actual_ = static_cast<long long>(actual);      \
    Check(expected_ == actual_, #actual " == " #expected, __FILE__, __LINE__, "got " + std::to_string(actual_)); \
  } while (0)

std::string HexText(long value);
