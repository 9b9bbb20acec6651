#pragma once

#include <gtest/gtest.h>

#include <source_location>
#include <string>
#include <string_view>

// Named expectations for the end-to-end tests, recorded by GoogleTest in
// the test that runs them. The tests walk a live window through many
// steps, and later steps make sense only after earlier ones held, so each
// check also returns whether it held.
namespace e2e {

// Records a failure of the running test at the caller's line, naming what
// was expected and `detail`, when `passed` is false.
bool Check(const std::string& name, bool passed, const std::string& detail = std::string(),
           std::source_location where = std::source_location::current());
// Prints UTF-8 text to standard output (and flushes it).
void Print(std::string_view text);
std::string Utf8(std::wstring_view text);
std::string Utf8(std::u16string_view text);

}  // namespace e2e
