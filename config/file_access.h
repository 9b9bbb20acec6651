#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace ramulet {

// Paths inside the configuration layer are UTF-8 strings with "/" between
// folders; these convert them to and from the file system's own paths.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);
// `root` joined with a "/"-separated path relative to it, as UTF-8.
std::string JoinUtf8(std::string_view root, std::string_view relative);

// Reads at most `limit` bytes from the start of `file` (its whole text when
// it is shorter). Never throws. A failure's message says what failed and
// why, without the file's name, which the caller puts before it.
Status ReadFilePrefix(const std::filesystem::path& file, size_t limit, std::string& bytes);

// Whether `bytes` begin with a UTF-8 or UTF-16 byte order mark.
bool StartsWithByteOrderMark(std::string_view bytes);

}  // namespace ramulet
