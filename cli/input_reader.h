#pragma once

#include <istream>
#include <string>

#include "platform/status.h"

namespace ramulet {

// The name by which a path of "-" (standard input) appears in messages.
inline constexpr const char* kStdinName = "<stdin>";

// Every byte of the file at `path`, or of `stdin_stream` when `path` is "-",
// unchanged (no line-end translation). Fails with a message naming the path
// when the file cannot be opened or read.
Status ReadInput(const std::string& path, std::istream& stdin_stream, std::string& bytes);

// Puts the process's standard input into binary mode where the platform
// distinguishes text and binary streams; a no-op elsewhere.
void UseBinaryStdin();

}  // namespace ramulet
