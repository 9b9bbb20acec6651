#pragma once

#include <istream>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace ramulet {

// The name by which a path of "-" (standard input) appears in messages.
inline constexpr const char* kStdinName = "<stdin>";

// The bytes of an input, held or mapped. A regular file is mapped where the
// system allows, which spares copying it and faulting in a buffer for it.
class InputBytes {
 public:
  InputBytes() = default;
  ~InputBytes();
  InputBytes(const InputBytes&) = delete;
  InputBytes& operator=(const InputBytes&) = delete;

  std::string_view view() const { return mapped_ ? std::string_view(mapped_, mapped_size_) : std::string_view(held_); }
  std::string& held() { return held_; }
  // Maps the regular file open as `descriptor` (POSIX); false when it
  // cannot be mapped and must be read instead.
  bool Map(int descriptor, size_t size);

 private:
  std::string held_;
  const char* mapped_ = nullptr;
  size_t mapped_size_ = 0;
};

// Every byte of the file at `path`, or of `stdin_stream` when `path` is "-",
// unchanged (no line-end translation). Fails with a message naming the path
// when the file cannot be opened or read.
Status ReadInput(const std::string& path, std::istream& stdin_stream, InputBytes& bytes);

// Puts the process's standard input into binary mode where the platform
// distinguishes text and binary streams; a no-op elsewhere.
void UseBinaryStdin();

}  // namespace ramulet
