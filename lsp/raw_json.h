#pragma once

#include <optional>
#include <string>
#include <string_view>

// JSON text looked at before it is parsed.
namespace ramulet::lsp {

// Rewrites each \u escape of a lone UTF-16 surrogate (legal JSON text,
// which JavaScript clients write for half a character) as \ufffd, which
// the parser takes: the text keeps its length, and the character stays one
// UTF-16 code unit, so positions after it stay where the client has them.
void ReplaceLoneSurrogateEscapes(std::string& json);

// The raw text of the last member named `name` of the JSON object `json`,
// found without parsing it: the values before it are only skipped, and a
// fault that breaks the nesting hides the members after it. For telling a
// message's method and id cheaply, never for its content.
std::optional<std::string_view> RawMember(std::string_view json, std::string_view name);

// The raw string value that follows the first key named `name` at any
// depth of `json`, the key found as text ("name" then a colon); for a
// message that does not parse. Keys inside strings are escaped and so are
// never taken.
std::optional<std::string_view> FirstRawStringMember(std::string_view json, std::string_view name);

}  // namespace ramulet::lsp
