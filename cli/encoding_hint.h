#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "analysis/module_analyzer.h"
#include "textio/text_decoding.h"

namespace ramulet {

// Another encoding in which a module has methods, and how many.
struct EncodingHint {
  Encoding encoding;
  size_t methods;
};

// For a module that, read as `used` says, has no methods: the first other
// plausible reading of `bytes` (UTF-8 with malformed bytes replaced,
// Windows-1251, UTF-16 of either byte order, named with its order so that
// the encoding suggested is one that reads it so) in which the scan finds
// methods; nothing when there is none.
std::optional<EncodingHint> FindEncodingWithMethods(const ModuleAnalyzer& analyzer, std::string_view bytes,
                                                    const DecodeNotes& used);

}  // namespace ramulet
