#include "cli/encoding_hint.h"

#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "textio/text_lines.h"

namespace ramulet {

namespace {

size_t MethodsIn(const ModuleAnalyzer& analyzer, std::u16string text) {
  TextLines lines(std::move(text));
  ModuleAnalysis module;
  (void)analyzer.Analyze(lines, module);  // a duplicate still leaves the methods before it
  return module.methods.size();
}

// `bytes` read as `encoding`; nothing when they cannot be read so.
std::optional<std::u16string> ReadAs(std::string_view bytes, Encoding encoding, bool big_endian) {
  std::u16string text;
  size_t replaced = 0;
  switch (encoding) {
    case Encoding::Utf8:
      return DecodeUtf8Replacing(bytes, replaced);
    case Encoding::Utf16:
      if (!DecodeUtf16(bytes, big_endian, text).ok()) return std::nullopt;
      return text;
    case Encoding::Cp1251:
      if (!DecodeCp1251(bytes, text).ok()) return std::nullopt;
      return text;
    case Encoding::Auto:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<EncodingHint> FindEncodingWithMethods(const ModuleAnalyzer& analyzer, std::string_view bytes,
                                                    Encoding used) {
  struct Reading {
    Encoding encoding;
    bool big_endian;
  };
  static constexpr Reading kReadings[] = {
      {Encoding::Utf8, false}, {Encoding::Cp1251, false}, {Encoding::Utf16, false}, {Encoding::Utf16, true}};
  for (const Reading& reading : kReadings) {
    if (reading.encoding == used) continue;
    std::optional<std::u16string> text = ReadAs(bytes, reading.encoding, reading.big_endian);
    if (!text) continue;
    size_t methods = MethodsIn(analyzer, std::move(*text));
    if (methods > 0) return EncodingHint{reading.encoding, methods};
  }
  return std::nullopt;
}

}  // namespace ramulet
