#include "site/html_text.h"

#include <cstdio>

#include "platform/text.h"
#include "platform/utf8_sequence.h"

namespace ramulet {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendCodePoint(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Walks `text` code point by code point; a lone surrogate reads as U+FFFD.
template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHigh(unit) && i + 1 < text.size() && IsLow(text[i + 1])) {
      visit(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHigh(unit) || IsLow(unit)) {
      visit(U'\xFFFD');
    } else {
      visit(static_cast<char32_t>(unit));
    }
  }
}

template <typename Visit>
void ForEachCodePointUtf8(std::string_view text, Visit visit) {
  for (size_t i = 0; i < text.size();) {
    const Utf8Step step = ReadUtf8Step(text, i);
    visit(step.well_formed ? step.code_point : kReplacementCharacter);
    i += step.length;
  }
}

void AppendHtmlCodePoint(char32_t c, std::string& out, bool attribute = true) {
  if (!attribute && (c == U'"' || c == U'\'')) {
    out += static_cast<char>(c);
    return;
  }
  switch (c) {
    case U'&': out += "&amp;"; return;
    case U'<': out += "&lt;"; return;
    case U'>': out += "&gt;"; return;
    case U'"': out += "&quot;"; return;
    case U'\'': out += "&#39;"; return;
    default: break;
  }
  if ((c < 0x20 && c != U'\t') || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
    out += kReplacement;
    return;
  }
  AppendCodePoint(c, out);
}

void AppendJsCodePoint(char32_t c, std::string& out) {
  if (c == U'"' || c == U'\\') {
    out += '\\';
    out += static_cast<char>(c);
  } else if (c < 0x20 || c == U'<' || c == U'>' || c == U'&' || c == 0x2028 || c == 0x2029 || c == 0x7F) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
    out += escape;
  } else {
    AppendCodePoint(c, out);
  }
}

}  // namespace

void AppendHtml(std::u16string_view text, std::string& out) {
  ForEachCodePoint(text, [&out](char32_t c) { AppendHtmlCodePoint(c, out); });
}

void AppendHtmlText(std::u16string_view text, std::string& out) {
  ForEachCodePoint(text, [&out](char32_t c) { AppendHtmlCodePoint(c, out, false); });
}

void AppendHtmlUtf8(std::string_view text, std::string& out) {
  ForEachCodePointUtf8(text, [&out](char32_t c) { AppendHtmlCodePoint(c, out); });
}

void AppendJsString(std::u16string_view text, std::string& out) {
  out += '"';
  ForEachCodePoint(text, [&out](char32_t c) { AppendJsCodePoint(c, out); });
  out += '"';
}

void AppendJsStringUtf8(std::string_view text, std::string& out) {
  out += '"';
  ForEachCodePointUtf8(text, [&out](char32_t c) { AppendJsCodePoint(c, out); });
  out += '"';
}

}  // namespace ramulet
