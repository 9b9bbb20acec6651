#include "platform/text.h"

#include <cstdlib>
#include <string>

#include "platform/utf8_sequence.h"

namespace ramulet {

std::u16string_view DropLeadingSpaces(std::u16string_view text) {
  size_t start = text.find_first_not_of(u' ');
  return start == std::u16string_view::npos ? std::u16string_view() : text.substr(start);
}

std::u16string_view TrimSpaces(std::u16string_view text) {
  text = DropLeadingSpaces(text);
  size_t last = text.find_last_not_of(u' ');
  return last == std::u16string_view::npos ? std::u16string_view() : text.substr(0, last + 1);
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = ToUpper(c);
  return out;
}

void UpperTrimmedInto(std::u16string_view text, std::u16string& out) {
  std::u16string_view trimmed = TrimSpaces(text);
  out.assign(trimmed.begin(), trimmed.end());
  for (char16_t& c : out) c = ToUpper(c);
}

bool Contains(std::u16string_view haystack, std::u16string_view needle) {
  return haystack.find(needle) != std::u16string_view::npos;
}

std::optional<double> ParseNumber(std::u16string_view text) {
  std::u16string_view trimmed = TrimSpaces(text);
  if (trimmed.empty() || trimmed.size() > 64) return std::nullopt;
  std::string ascii;
  for (char16_t c : trimmed) {
    bool allowed = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E';
    if (!allowed) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  char* end = nullptr;
  double value = std::strtod(ascii.c_str(), &end);
  if (end != ascii.c_str() + ascii.size()) return std::nullopt;
  return value;
}

namespace {

constexpr char32_t kReplacement = kReplacementCharacter;

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const Utf8Step step = ReadUtf8Step(text, i);
    i += step.length;
    char32_t cp = step.code_point;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  AppendUtf16AsUtf8(text, out);
  return out;
}

void AppendUtf16AsUtf8(std::u16string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(c, out);
  }
}

}  // namespace ramulet
