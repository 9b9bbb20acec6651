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
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
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

// Maps `path` when it is a regular file that the system lets us map.
bool MapFile(const std::string& path, InputBytes& bytes) {
#ifdef _WIN32
  (void)path;
  (void)bytes;
  return false;
#else
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  struct stat status {};
  bool mapped = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
                bytes.Map(descriptor, static_cast<size_t>(status.st_size));
  close(descriptor);
  return mapped;
#endif
}

}  // namespace

InputBytes::~InputBytes() {
#ifndef _WIN32
  if (mapped_) munmap(const_cast<char*>(mapped_), mapped_size_);
#endif
}

bool InputBytes::Map(int descriptor, size_t size) {
#ifdef _WIN32
  (void)descriptor;
  (void)size;
  return false;
#else
  int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
  flags |= MAP_POPULATE;  // the whole file is read at once: no fault per page
#endif
  void* address = mmap(nullptr, size, PROT_READ, flags, descriptor, 0);
  if (address == MAP_FAILED) return false;
  mapped_ = static_cast<const char*>(address);
  mapped_size_ = size;
  return true;
#endif
}

namespace {

Status ReadStream(const std::string& path, std::istream& stdin_stream, std::string& bytes) {
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

}  // namespace

Status ReadInput(const std::string& path, std::istream& stdin_stream, InputBytes& bytes) {
  if (path != "-") {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error) && MapFile(path, bytes)) return Status::Ok();
  }
  return ReadStream(path, stdin_stream, bytes.held());
}

void UseBinaryStdin() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

}  // namespace ramulet
