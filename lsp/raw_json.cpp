#include "lsp/raw_json.h"

#include <cstring>

namespace ramulet::lsp {

namespace {

constexpr size_t kNone = std::string_view::npos;

// The code unit of the four hex digits at `at`; -1 when they are none.
int Hex4(std::string_view text, size_t at) {
  if (at + 4 > text.size()) return -1;
  int unit = 0;
  for (size_t i = at; i < at + 4; ++i) {
    char c = text[i];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool IsHighSurrogate(int unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(int unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

size_t SkipSpace(std::string_view text, size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) ++at;
  return at;
}

// The end of the string that opens at `at`; kNone when it does not end. A
// quote is escaped when an odd number of backslashes comes before it.
size_t SkipString(std::string_view text, size_t at) {
  size_t from = at + 1;
  while (from < text.size()) {
    const void* quote = std::memchr(text.data() + from, '"', text.size() - from);
    if (quote == nullptr) return kNone;
    size_t end = static_cast<size_t>(static_cast<const char*>(quote) - text.data());
    size_t backslashes = 0;
    while (end - backslashes > at + 1 && text[end - 1 - backslashes] == '\\') ++backslashes;
    if (backslashes % 2 == 0) return end + 1;
    from = end + 1;
  }
  return kNone;
}

// The end of the value that starts at `at`; kNone when it does not end.
size_t SkipValue(std::string_view text, size_t at) {
  if (at >= text.size()) return kNone;
  if (text[at] == '"') return SkipString(text, at);
  if (text[at] != '{' && text[at] != '[') {
    size_t end = text.find_first_of(",}] \t\r\n", at);
    return end == kNone ? text.size() : end;
  }
  size_t depth = 0;
  while (at < text.size()) {
    char c = text[at];
    if (c == '"') {
      at = SkipString(text, at);
      if (at == kNone) return kNone;
      continue;
    }
    if (c == '{' || c == '[') {
      ++depth;
    } else if ((c == '}' || c == ']') && --depth == 0) {
      return at + 1;
    }
    ++at;
  }
  return kNone;
}

}  // namespace

void ReplaceLoneSurrogateEscapes(std::string& json) {
  size_t at = json.find('\\');
  while (at != kNone && at + 1 < json.size()) {
    int unit = json[at + 1] == 'u' ? Hex4(json, at + 2) : -1;
    if (unit < 0) {
      at = json.find('\\', at + 2);  // another escape, "\\" among them
      continue;
    }
    bool paired = IsHighSurrogate(unit) && at + 7 < json.size() && json[at + 6] == '\\' && json[at + 7] == 'u' &&
                  IsLowSurrogate(Hex4(json, at + 8));
    if (paired) {
      at = json.find('\\', at + 12);
      continue;
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) json.replace(at + 2, 4, "fffd");
    at = json.find('\\', at + 6);
  }
}

std::optional<std::string_view> RawMember(std::string_view json, std::string_view name) {
  std::optional<std::string_view> found;
  size_t at = SkipSpace(json, 0);
  if (at >= json.size() || json[at] != '{') return found;
  at = SkipSpace(json, at + 1);
  while (at < json.size() && json[at] == '"') {
    size_t key_end = SkipString(json, at);
    if (key_end == kNone) return found;
    std::string_view key = json.substr(at + 1, key_end - at - 2);
    at = SkipSpace(json, key_end);
    if (at >= json.size() || json[at] != ':') return found;
    at = SkipSpace(json, at + 1);
    size_t value_end = SkipValue(json, at);
    if (value_end == kNone) return found;
    if (key == name) found = json.substr(at, value_end - at);
    at = SkipSpace(json, value_end);
    if (at >= json.size() || json[at] != ',') return found;
    at = SkipSpace(json, at + 1);
  }
  return found;
}

std::optional<std::string_view> FirstRawStringMember(std::string_view json, std::string_view name) {
  std::string key = "\"" + std::string(name) + "\"";
  for (size_t at = json.find(key); at != kNone; at = json.find(key, at + 1)) {
    size_t backslashes = 0;
    while (backslashes < at && json[at - 1 - backslashes] == '\\') ++backslashes;
    if (backslashes % 2 == 1) continue;
    size_t colon = SkipSpace(json, at + key.size());
    if (colon >= json.size() || json[colon] != ':') continue;
    size_t value = SkipSpace(json, colon + 1);
    if (value >= json.size() || json[value] != '"') continue;
    size_t end = SkipString(json, value);
    if (end == kNone) return std::nullopt;
    return json.substr(value, end - value);
  }
  return std::nullopt;
}

}  // namespace ramulet::lsp
