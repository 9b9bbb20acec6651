#pragma once

#include <charconv>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/json_string.h"

namespace ramulet {

// The whole output goes through one buffer that is written out in pieces
// of some kilobytes: tens of thousands of small stream insertions cost more
// than the analysis, and one buffer for the whole output could grow as
// large as the output.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
  ~JsonWriter() { Flush(); }

  JsonWriter& operator<<(std::string_view text) {
    buffer_ += text;
    return *this;
  }
  JsonWriter& operator<<(int32_t value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
  }
  JsonWriter& String(std::u16string_view text) {
    AppendJsonString(text, buffer_);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
  }
  JsonWriter& Utf8(std::string_view text) {
    AppendJsonUtf8(text, buffer_);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
  }
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr size_t kFlushAt = 1 << 16;
  std::ostream& out_;
  std::string buffer_;
};

}  // namespace ramulet
