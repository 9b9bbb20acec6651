#pragma once

#include <string>
#include <string_view>

// The tally of one end-to-end run: every check prints one line, "ok" or
// "FAIL", and the run ends with "N passed, M failed".
namespace e2e {

bool Check(const std::string& name, bool passed, const std::string& detail = std::string());
// Prints UTF-8 text to standard output (and flushes it).
void Print(std::string_view text);
std::string Utf8(std::wstring_view text);
std::string Utf8(std::u16string_view text);
int Passed();
int Failed();

}  // namespace e2e
