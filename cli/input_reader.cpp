#include "cli/input_reader.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace ramulet {

namespace {

// Reads straight into the free room of `bytes`, doubling it when full.
Status ReadAll(std::istream& stream, const std::string& name, std::string& bytes) {
  bytes.clear();
  size_t used = 0;
  bytes.resize(std::max<size_t>(bytes.capacity(), size_t{1} << 16));
  while (stream.read(bytes.data() + used, static_cast<std::streamsize>(bytes.size() - used)) ||
         stream.gcount() > 0) {
    used += static_cast<size_t>(stream.gcount());
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
  }
  bytes.resize(used);
  if (stream.bad()) return Status::Error(Status::kFail, name + ": cannot read the input");
  return Status::Ok();
}

}  // namespace

Status ReadInput(const std::string& path, std::istream& stdin_stream, std::string& bytes) {
  if (path == "-") return ReadAll(stdin_stream, kStdinName, bytes);
  std::error_code error;
  // Opening a folder succeeds on some systems and then reads as empty.
  if (std::filesystem::is_directory(path, error)) {
    return Status::Error(Status::kInvalidArgument, path + ": is a directory, not a module file");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return Status::Error(Status::kInvalidArgument, path + ": cannot open the file");
  // Room for the whole file at once, where its size is known, spares the
  // copies of a growing buffer; ReadAll still reads whatever is there.
  std::uintmax_t size = std::filesystem::file_size(path, error);
  if (!error && size < bytes.max_size()) bytes.reserve(static_cast<size_t>(size) + 1);
  return ReadAll(file, path, bytes);
}

void UseBinaryStdin() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

}  // namespace ramulet
