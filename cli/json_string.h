#pragma once

#include <ostream>
#include <string_view>

namespace ramulet {

// Writes `text` as a quoted JSON string in UTF-8: quotation marks and
// backslashes escaped, control characters as \u00XX, everything else as is.
void WriteJsonString(std::u16string_view text, std::ostream& out);

}  // namespace ramulet
