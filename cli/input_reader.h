#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <string>

#include "platform/status.h"

namespace ramulet {

// The name by which a path of "-" (standard input) appears in messages.
inline constexpr const char* kStdinName = "<stdin>";

// The most bytes an input may have unless --max-input-size says otherwise:
// a module far larger than any real one, whose text and tables still fit
// in the memory of an ordinary machine.
inline constexpr uint64_t kDefaultMaxInputSize = uint64_t{1} << 30;

// Every byte of the file at `path`, or of `stdin_stream` when `path` is "-",
// unchanged (no line-end translation), into `bytes`. Fails with a message
// naming the input (and the system's reason where there is one) when it
// cannot be opened or read, when it has more than `max_size` bytes (found
// as soon as that many are read, so an endless input ends too), or when a
// regular file changes size while it is read.
Status ReadInput(const std::string& path, std::istream& stdin_stream, uint64_t max_size, std::string& bytes);

// Reads the open regular file `file`, `size` bytes long when it was opened,
// into `bytes`; fails when it turns out shorter or longer than that.
Status ReadRegularFile(std::FILE* file, uint64_t size, const std::string& name, std::string& bytes);

// Puts the process's standard input into binary mode where the platform
// distinguishes text and binary streams; a no-op elsewhere.
void UseBinaryStdin();

}  // namespace ramulet
