#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ramulet {

// The site's one stylesheet and one script, written beside its pages.
extern const std::string_view kSiteStylesheet;
extern const std::string_view kSiteScript;

// Lines of code are laid out in chunks of this many, chunk k having the
// class "c<k>" that starts its line numbers.
inline constexpr int32_t kChunkLines = 256;
// The styles that number the lines of `chunks` chunks.
std::string ChunkCounterStyles(int32_t chunks, int32_t chunk_lines = kChunkLines);

}  // namespace ramulet
