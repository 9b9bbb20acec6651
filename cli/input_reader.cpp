#include "cli/input_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/huge_pages.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace ramulet {

namespace {

constexpr size_t kChunk = size_t{1} << 16;

Status Failed(const std::string& name, const std::string& what, int error) {
  std::string message = name + ": " + what;
  if (error != 0) message += std::string(": ") + std::strerror(error);
  return Status::Error(Status::kInvalidArgument, message);
}

Status TooLarge(const std::string& name, uint64_t max_size) {
  return Status::Error(Status::kOutOfRange, name + ": the input is larger than the limit of " +
                                                std::to_string(max_size) + " bytes (see --max-input-size)");
}

Status Changed(const std::string& name) {
  return Status::Error(Status::kFail, name + ": the file changed while it was read");
}

// Reads whatever `read` gives, a chunk at a time, until it gives nothing;
// more than `max_size` bytes fail at once. The buffer grows by appending,
// so no more of it is touched than the bytes read.
template <class ReadChunk>
Status ReadUntilEnd(ReadChunk read, const std::string& name, uint64_t max_size, std::string& bytes) {
  bytes.clear();
  std::unique_ptr<char[]> chunk(new char[kChunk]);
  while (true) {
    size_t got = 0;
    RAMULET_RETURN_IF_ERROR(read(chunk.get(), got));
    if (got == 0) return Status::Ok();
    if (bytes.size() + got > max_size) {
      std::string().swap(bytes);
      return TooLarge(name, max_size);
    }
    bytes.append(chunk.get(), got);
  }
}

Status ReadStream(std::istream& stream, uint64_t max_size, std::string& bytes) {
  auto read = [&stream](char* into, size_t& got) {
    stream.read(into, static_cast<std::streamsize>(kChunk));
    got = static_cast<size_t>(stream.gcount());
    if (stream.bad()) return Failed(kStdinName, "cannot read the input", 0);
    return Status::Ok();
  };
  return ReadUntilEnd(read, kStdinName, max_size, bytes);
}

Status ReadFile(std::FILE* file, const std::string& name, uint64_t max_size, std::string& bytes) {
  auto read = [file, &name](char* into, size_t& got) {
    errno = 0;
    got = std::fread(into, 1, kChunk, file);
    if (got == 0 && std::ferror(file)) return Failed(name, "cannot read the file", errno);
    return Status::Ok();
  };
  return ReadUntilEnd(read, name, max_size, bytes);
}

// The size of the open file when it is a regular one.
bool RegularFileSize(std::FILE* file, uint64_t& size) {
#ifdef _WIN32
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0) return false;
#else
  struct stat status {};
  if (fstat(fileno(file), &status) != 0) return false;
#endif
  size = static_cast<uint64_t>(status.st_size);
  return (status.st_mode & S_IFMT) == S_IFREG;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

Status ReadPath(const std::string& path, uint64_t max_size, std::string& bytes) {
  std::error_code error;
  // Opening a folder succeeds on some systems and then reads as empty.
  if (std::filesystem::is_directory(path, error)) {
    return Status::Error(Status::kInvalidArgument, path + ": is a directory, not a module file");
  }
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return Failed(path, "cannot open the file", errno);
  uint64_t size = 0;
  // Devices, pipes and the like have no size to trust: read until they end.
  if (!RegularFileSize(file.get(), size)) return ReadFile(file.get(), path, max_size, bytes);
  if (size > max_size) return TooLarge(path, max_size);
  return ReadRegularFile(file.get(), size, path, bytes);
}

// Makes `bytes` `size` long for reading into. A file of megabytes gets a
// huge page of room more, so that huge pages cover all of it where the
// system gives them: faulting it in 4 KiB at a time cost more than reading
// it. Not for the largest files, whose bytes live only until decoded: there
// the system's search for free huge pages cost more than the faults.
void SizeForReading(size_t size, std::string& bytes) {
  constexpr size_t kMostForHugePages = size_t{64} << 20;
  const bool huge = size >= kHugePageSize && size <= kMostForHugePages;
  std::string().swap(bytes);
  bytes.reserve(size + (huge ? kHugePageSize : 0));
  if (huge) PreferHugePages(bytes.data(), size, bytes.capacity());
  bytes.resize(size);
}

}  // namespace

Status ReadRegularFile(std::FILE* file, uint64_t size, const std::string& name, std::string& bytes) {
  // The file is read, not mapped: a file cut short while it is mapped
  // faults on the pages it lost.
  SizeForReading(static_cast<size_t>(size), bytes);
  size_t done = 0;
  while (done < bytes.size()) {
    errno = 0;
    const size_t got = std::fread(bytes.data() + done, 1, bytes.size() - done, file);
    if (got == 0) break;
    done += got;
  }
  if (std::ferror(file)) {
    std::string().swap(bytes);
    return Failed(name, "cannot read the file", errno);
  }
  // Shorter than it was when opened, or longer: an editor is saving it.
  if (done != bytes.size() || std::fgetc(file) != EOF) {
    std::string().swap(bytes);
    return Changed(name);
  }
  return Status::Ok();
}

Status ReadInput(const std::string& path, std::istream& stdin_stream, uint64_t max_size, std::string& bytes) {
  if (path == "-") return ReadStream(stdin_stream, max_size, bytes);
  return ReadPath(path, max_size, bytes);
}

void UseBinaryStdin() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
}

}  // namespace ramulet
