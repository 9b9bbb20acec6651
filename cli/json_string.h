#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace ramulet {

// `text` as a quoted JSON string in UTF-8, appended to `out`: quotation
// marks and backslashes escaped, control characters as \u00XX, everything
// else as is.
void AppendJsonString(std::u16string_view text, std::string& out);

// UTF-8 `text` as a quoted JSON string appended to `out`, escaped the same
// way; each malformed sequence becomes U+FFFD, so the output stays UTF-8.
void AppendJsonUtf8(std::string_view text, std::string& out);

// The same written to `out`.
void WriteJsonString(std::u16string_view text, std::ostream& out);

}  // namespace ramulet
