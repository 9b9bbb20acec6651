#pragma once

#include <string_view>

namespace ramulet::lsp {

// Whether the "/"-separated `path` matches `glob`: `?` is one character
// other than "/", `*` any run of them, `**` any run of whole folders
// ("**/" may match none). Letter case counts.
bool GlobMatches(std::string_view glob, std::string_view path);

}  // namespace ramulet::lsp
