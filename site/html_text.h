#pragma once

#include <string>
#include <string_view>

namespace ramulet {

// Text as HTML character data or an attribute value: "&", "<", ">", '"'
// and "'" as references; a lone surrogate, and a control character other
// than a tab, as U+FFFD, so that nothing taken from a module can end an
// element, open a tag or a script, or make the page invalid UTF-8.
void AppendHtml(std::u16string_view text, std::string& out);
// The same for UTF-8 text; a malformed sequence becomes U+FFFD.
void AppendHtmlUtf8(std::string_view text, std::string& out);
// Text as character data only (never inside an attribute): quotes are
// left as they are, which keeps pages of code small.
void AppendHtmlText(std::u16string_view text, std::string& out);

// `text` as a JavaScript string literal in double quotes that is safe
// inside any HTML context: besides the usual escapes, "<", ">", "&" and
// the line separators are written as \u escapes.
void AppendJsString(std::u16string_view text, std::string& out);
void AppendJsStringUtf8(std::string_view text, std::string& out);

}  // namespace ramulet
