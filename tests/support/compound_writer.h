#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace ramulet {

// A stream to write: its path, storages joined with "/", and its bytes.
struct CompoundStream {
  std::string path;
  std::string bytes;
};

// Writes a compound file holding `streams` (their storages made as the
// paths need them) at `file`, with libgsf's writer.
Status WriteCompoundFile(const std::string& file, const std::vector<CompoundStream>& streams);

// Raw DEFLATE of `bytes` (no zlib header), as .MD module streams hold.
std::string DeflateRaw(std::string_view bytes);

// UTF-8 text as Windows-1251 bytes (characters it lacks become '?').
std::string Cp1251(std::string_view utf8);

}  // namespace ramulet
