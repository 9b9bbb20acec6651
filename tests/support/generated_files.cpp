#include "tests/support/generated_files.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace ramulet::generated {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The Windows-1251 byte of a code point outside ASCII, 0 when there is none.
unsigned char Cp1251Byte(uint32_t code) {
  if (code >= 0x410 && code <= 0x44F) return static_cast<unsigned char>(0xC0 + (code - 0x410));
  switch (code) {
    case 0x401: return 0xA8;  // Ё
    case 0x451: return 0xB8;  // ё
    case 0xAB: return 0xAB;   // «
    case 0xBB: return 0xBB;   // »
    case 0x2116: return 0xB9;  // №
    case 0x2014: return 0x97;  // —
    default: return 0;
  }
}

}  // namespace

Status FileWriter::Write(std::string_view relative, std::string_view content) {
  std::filesystem::path path = std::filesystem::path(root_) / std::string(relative);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) return Status::Error(Status::kFail, "cannot make the folder of " + path.string() + ": " + error.message());
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return Status::Error(Status::kFail, "cannot write " + path.string());
  if (std::fwrite(content.data(), 1, content.size(), file.get()) != content.size() || std::fflush(file.get()) != 0) {
    return Status::Error(Status::kFail, "cannot write " + path.string() + " whole");
  }
  bytes_ += content.size();
  return Status::Ok();
}

Status FileWriter::WriteWithBom(std::string_view relative, std::string_view content) {
  std::string text = "\xEF\xBB\xBF";
  text += content;
  return Write(relative, text);
}

std::string ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++i;
      continue;
    }
    uint32_t code = 0;
    size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    code = byte & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    unsigned char mapped = Cp1251Byte(code);
    out += mapped != 0 ? static_cast<char>(mapped) : '?';
    i += length;
  }
  return out;
}

}  // namespace ramulet::generated
