#include "cli/json_string.h"

#include <cstdio>

#include "platform/text.h"
#include "platform/utf8_sequence.h"

namespace ramulet {

namespace {

bool NeedsEscape(char16_t c) { return c < 0x20 || c == u'"' || c == u'\\'; }

void AppendEscape(char16_t c, std::string& out) {
  if (c == u'"' || c == u'\\') {
    out += '\\';
    out += static_cast<char>(c);
    return;
  }
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
  out += buffer;
}

}  // namespace

void AppendJsonString(std::u16string_view text, std::string& out) {
  out += '"';
  size_t run_start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !NeedsEscape(text[i])) continue;
    AppendUtf16AsUtf8(text.substr(run_start, i - run_start), out);
    if (i < text.size()) AppendEscape(text[i], out);
    run_start = i + 1;
  }
  out += '"';
}

void AppendJsonUtf8(std::string_view text, std::string& out) {
  out += '"';
  size_t run_start = 0;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte != '"' && byte != '\\' && byte < 0x80) {
      ++i;
      continue;
    }
    if (byte >= 0x80) {
      const Utf8Step step = ReadUtf8Step(text, i);
      if (step.well_formed) {
        i += step.length;
        continue;
      }
      out.append(text.substr(run_start, i - run_start));
      out += "\xEF\xBF\xBD";  // U+FFFD
      i += step.length;
      run_start = i;
      continue;
    }
    out.append(text.substr(run_start, i - run_start));
    AppendEscape(static_cast<char16_t>(byte), out);
    run_start = ++i;
  }
  out.append(text.substr(run_start));
  out += '"';
}

void WriteJsonString(std::u16string_view text, std::ostream& out) {
  std::string json;
  AppendJsonString(text, json);
  out << json;
}

}  // namespace ramulet
