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
std::optional<std::u16string> ReadAs(std::string_view bytes, Encoding encoding) {
  std::u16string text;
  size_t replaced = 0;
  switch (encoding) {
    case Encoding::Utf8:
      return DecodeUtf8Replacing(bytes, replaced);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      if (!DecodeUtf16(bytes, encoding == Encoding::Utf16Be, text).ok()) return std::nullopt;
      return text;
    case Encoding::Cp1251:
      if (!DecodeCp1251(bytes, text).ok()) return std::nullopt;
      return text;
    case Encoding::Utf16:
    case Encoding::Auto:
      break;
  }
  return std::nullopt;
}

// Whether `reading` is the way the module was read already.
bool ReadSo(Encoding reading, const DecodeNotes& used) {
  const bool utf16 = used.used == Encoding::Utf16 || used.used == Encoding::Utf16Le || used.used == Encoding::Utf16Be;
  if (reading == Encoding::Utf16Le || reading == Encoding::Utf16Be) {
    return utf16 && used.big_endian == (reading == Encoding::Utf16Be);
  }
  return reading == used.used;
}

}  // namespace

std::optional<EncodingHint> FindEncodingWithMethods(const ModuleAnalyzer& analyzer, std::string_view bytes,
                                                    const DecodeNotes& used) {
  static constexpr Encoding kReadings[] = {Encoding::Utf8, Encoding::Cp1251, Encoding::Utf16Le, Encoding::Utf16Be};
  for (Encoding reading : kReadings) {
    if (ReadSo(reading, used)) continue;
    std::optional<std::u16string> text = ReadAs(bytes, reading);
    if (!text) continue;
    size_t methods = MethodsIn(analyzer, std::move(*text));
    if (methods > 0) return EncodingHint{reading, methods};
  }
  return std::nullopt;
}

}  // namespace ramulet
