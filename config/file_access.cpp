#include "config/file_access.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace ramulet {

namespace {

// ": <what the system said>", when it said something.
std::string Reason(int error) { return error == 0 ? std::string() : ": " + std::generic_category().message(error); }

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string JoinUtf8(std::string_view root, std::string_view relative) {
  std::string joined(root);
  if (!joined.empty() && joined.back() != '/' && joined.back() != '\\') joined += '/';
  joined += relative;
  return joined;
}

Status ReadFilePrefix(const std::filesystem::path& file, size_t limit, std::string& bytes) {
  bytes.clear();
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) return Status::Error(Status::kFail, "cannot open the file" + Reason(errno));
  constexpr size_t kChunk = size_t{1} << 16;
  while (bytes.size() < limit) {
    const size_t want = std::min(kChunk, limit - bytes.size());
    const size_t had = bytes.size();
    bytes.resize(had + want);
    in.read(bytes.data() + had, static_cast<std::streamsize>(want));
    bytes.resize(had + static_cast<size_t>(in.gcount()));
    if (in.bad() || (in.fail() && !in.eof()))
      return Status::Error(Status::kFail, "cannot read the file" + Reason(errno));
    if (in.eof()) break;
  }
  return Status::Ok();
}

bool StartsWithByteOrderMark(std::string_view bytes) {
  return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

}  // namespace ramulet
