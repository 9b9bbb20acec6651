#include "cli/input_reader.h"

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

Status ReadAll(std::istream& stream, const std::string& name, std::string& bytes) {
  bytes.clear();
  char chunk[1 << 16];
  while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(stream.gcount()));
  }
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
  return ReadAll(file, path, bytes);
}

void UseBinaryStdin() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

}  // namespace ramulet
