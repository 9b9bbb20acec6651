#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ramulet::lsp {

// "file:///a/b%20c.bsl" for the absolute path "/a/b c.bsl" (UTF-8): every
// byte but unreserved ones and "/" percent-encoded, as clients write them.
std::string FileUriFromPath(std::string_view path);

// The path of a "file:" URI, percent-decoded; nullopt for another scheme
// or a malformed escape. "file:///C:/x" gives "C:/x".
std::optional<std::string> PathFromFileUri(std::string_view uri);

}  // namespace ramulet::lsp
