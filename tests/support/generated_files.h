#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace ramulet::generated {

// Writes the files of a generated configuration under one root, making
// folders as needed, and counts the bytes written.
class FileWriter {
 public:
  explicit FileWriter(std::string root) : root_(std::move(root)) {}

  // Writes `content` to `relative` ("/"-separated) under the root.
  Status Write(std::string_view relative, std::string_view content);
  // The same, with a UTF-8 byte order mark before the text.
  Status WriteWithBom(std::string_view relative, std::string_view content);
  uint64_t bytes() const { return bytes_; }

 private:
  std::string root_;
  uint64_t bytes_ = 0;
};

// `utf8` in Windows-1251: ASCII, the Cyrillic А–я, Ё, ё and a few signs;
// anything else becomes '?'.
std::string ToCp1251(std::string_view utf8);

}  // namespace ramulet::generated
