// The compound-file reader on libgsf: the storages are walked once when the
// file is opened, each stream opened then (libgsf checks its sector chain
// as it opens it) and read on demand.
#include <gsf/gsf-infile-impl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "config/md/compound_file.h"

namespace ramulet {
namespace {

// Storages nest a few levels deep; a damaged directory may claim more.
constexpr int kMaxDepth = 32;
// Reads stop at the first chunk that does not read: small enough to say
// where a stream's chain breaks.
constexpr gsf_off_t kReadChunk = 4096;
constexpr size_t kHeaderSize = 512;
constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// What libgsf logs while a LogCapture is active on this thread: its
// warnings explain the damage it reads past, so they belong in our
// messages rather than on standard error.
thread_local std::vector<std::string>* t_captured = nullptr;

void CaptureLog(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer /*data*/) {
  if (t_captured == nullptr) {
    g_log_default_handler(domain, level, message, nullptr);
    return;
  }
  // Criticals are libgsf's own assertions tripping over the same damage
  // its errors and warnings already describe.
  if ((level & G_LOG_LEVEL_WARNING) == 0 || message == nullptr || t_captured->size() >= 3) return;
  std::string line = message;
  std::replace(line.begin(), line.end(), '\n', ' ');
  t_captured->push_back(std::move(line));
}

class LogCapture {
 public:
  LogCapture() : outer_(t_captured) { t_captured = &lines_; }
  ~LogCapture() { t_captured = outer_; }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // "; " and the captured lines, or nothing.
  std::string Suffix() const {
    std::string suffix;
    for (const std::string& line : lines_) suffix += "; " + line;
    return suffix;
  }

 private:
  std::vector<std::string>* outer_;
  std::vector<std::string> lines_;
};

void InitGsfOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    gsf_init();
    const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR);
    for (const char* domain : {"libgsf", "libgsf:msole"}) g_log_set_handler(domain, levels, CaptureLog, nullptr);
  });
}

uint32_t Word(const std::string& header, size_t offset) {
  uint32_t word = 0;
  for (size_t i = 4; i-- > 0;) word = word << 8 | static_cast<unsigned char>(header[offset + i]);
  return word;
}

// Why a compound file whose header reads does not open when it is cut
// short: the first sector of its allocation table or directory that lies
// past its end. Empty when that is not the reason.
std::string CutShortNote(const std::string& header, gsf_off_t file_size) {
  if (header.size() < kHeaderSize) return "it ends at byte " + std::to_string(file_size) + ", inside its header";
  const unsigned shift = static_cast<unsigned char>(header[0x1E]) | static_cast<unsigned char>(header[0x1F]) << 8;
  if (shift < 7 || shift > 16) return {};
  const uint64_t sectors = static_cast<uint64_t>(file_size - static_cast<gsf_off_t>(kHeaderSize)) >> shift;
  std::vector<std::pair<const char*, uint32_t>> needed = {{"its directory", Word(header, 0x30)}};
  for (size_t offset = 0x4C; offset < kHeaderSize; offset += 4) {
    needed.push_back({"its allocation table", Word(header, offset)});
  }
  for (const auto& [what, sector] : needed) {
    if (sector < 0xFFFFFFFA && sector >= sectors) {
      return "it is cut short: it ends at byte " + std::to_string(file_size) + ", before sector " +
             std::to_string(sector) + " of " + what;
    }
  }
  return {};
}

struct ObjectUnref {
  void operator()(void* object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
using InputPtr = std::unique_ptr<GsfInput, ObjectUnref>;
using InfilePtr = std::unique_ptr<GsfInfile, ObjectUnref>;

// The error's message (or `fallback`), the error freed.
std::string TakeMessage(GError* error, const char* fallback) {
  std::string message = error != nullptr && error->message != nullptr ? error->message : fallback;
  if (error != nullptr) g_error_free(error);
  return message;
}

class GsfCompoundFile final : public CompoundFile {
 public:
  GsfCompoundFile(std::string name, std::string memory) : name_(std::move(name)), memory_(std::move(memory)) {}

  Status Open(InputPtr input);
  const std::string& Memory() const { return memory_; }
  std::vector<std::string> StreamPaths() const override;
  Status ReadStream(const std::string& path, std::string& bytes) const override;

 private:
  struct Stream {
    std::string path;
    InputPtr input;          // null when the stream could not be opened
    std::string open_error;  // then: why; else what libgsf noted opening it
  };

  void Walk(GsfInfile* storage, const std::string& prefix, int depth);
  Status StreamError(const std::string& path, const std::string& why) const {
    return Status::Error(Status::kFail, name_ + ": stream " + path + ": " + why);
  }

  std::string name_;
  std::string memory_;  // a file opened from memory: libgsf reads these bytes, so they outlive it
  gsf_off_t file_size_ = 0;
  InfilePtr root_;
  std::vector<Stream> streams_;
  std::unordered_map<std::string, size_t> by_path_;
};

Status GsfCompoundFile::Open(InputPtr input) {
  file_size_ = gsf_input_size(input.get());
  std::string header(static_cast<size_t>(std::min<gsf_off_t>(file_size_, kHeaderSize)), '\0');
  if (!header.empty() &&
      (gsf_input_read(input.get(), header.size(), reinterpret_cast<guint8*>(header.data())) == nullptr ||
       gsf_input_seek(input.get(), 0, G_SEEK_SET))) {
    return Status::Error(Status::kFail, name_ + ": cannot be read");
  }
  LogCapture log;
  GError* error = nullptr;
  root_.reset(gsf_infile_msole_new(input.get(), &error));
  if (root_ == nullptr) {
    const std::string why = TakeMessage(error, "its header does not read") + log.Suffix();
    if (header.compare(0, 8, kSignature) != 0) {
      return Status::Error(Status::kInvalidArgument, name_ + ": not a compound file (.MD): " + why);
    }
    const std::string cut = CutShortNote(header, file_size_);
    return Status::Error(Status::kInvalidArgument,
                         name_ + ": a damaged compound file: " + (cut.empty() ? why : cut + " (" + why + ")"));
  }
  if (error != nullptr) g_error_free(error);
  Walk(root_.get(), "", 0);
  return Status::Ok();
}

void GsfCompoundFile::Walk(GsfInfile* storage, const std::string& prefix, int depth) {
  const int children = gsf_infile_num_children(storage);
  for (int i = 0; i < children; ++i) {
    const char* name = gsf_infile_name_by_index(storage, i);
    const std::string path = prefix + (name != nullptr ? name : "?" + std::to_string(i));
    // A damaged directory may list one entry twice (or loop back on
    // itself); each path is read once.
    if (by_path_.count(path) != 0) continue;
    // Through the class rather than gsf_infile_child_by_index, which only
    // logs why a child does not open: the reason belongs in our message.
    LogCapture log;
    GError* error = nullptr;
    InputPtr child(GSF_INFILE_CLASS(G_OBJECT_GET_CLASS(storage))->child_by_index(storage, i, &error));
    if (child == nullptr || error != nullptr) {
      by_path_.emplace(path, streams_.size());
      streams_.push_back({path, nullptr, TakeMessage(error, "it does not open") + log.Suffix()});
      continue;
    }
    if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
      if (depth < kMaxDepth) Walk(GSF_INFILE(child.get()), path + "/", depth + 1);
      continue;
    }
    by_path_.emplace(path, streams_.size());
    // What libgsf noticed opening it explains a read that fails later.
    streams_.push_back({path, std::move(child), log.Suffix()});
  }
}

std::vector<std::string> GsfCompoundFile::StreamPaths() const {
  std::vector<std::string> paths;
  paths.reserve(streams_.size());
  for (const Stream& stream : streams_) paths.push_back(stream.path);
  return paths;
}

Status GsfCompoundFile::ReadStream(const std::string& path, std::string& bytes) const {
  bytes.clear();
  const auto found = by_path_.find(path);
  if (found == by_path_.end()) return StreamError(path, "not in the file");
  const Stream& stream = streams_[found->second];
  if (stream.input == nullptr) return StreamError(path, "its sector chain is broken (" + stream.open_error + ")");
  LogCapture log;
  GsfInput* input = stream.input.get();
  const gsf_off_t size = gsf_input_size(input);
  if (size < 0 || size > file_size_) {
    return StreamError(path,
                       "claims " + std::to_string(size) + " bytes, more than the file's " + std::to_string(file_size_));
  }
  if (gsf_input_seek(input, 0, G_SEEK_SET)) return StreamError(path, "cannot seek to its start");
  bytes.resize(static_cast<size_t>(size));
  for (gsf_off_t offset = 0; offset < size;) {
    const gsf_off_t chunk = std::min(kReadChunk, size - offset);
    guint8* into = reinterpret_cast<guint8*>(bytes.data() + offset);
    if (gsf_input_read(input, static_cast<size_t>(chunk), into) == nullptr) {
      bytes.clear();
      return StreamError(path, "reading stops at byte " + std::to_string(offset) + " of " + std::to_string(size) +
                                   " (its sector chain is broken" + stream.open_error + log.Suffix() + ")");
    }
    offset += chunk;
  }
  return Status::Ok();
}

}  // namespace

// The file is read whole and opened from memory: libgsf opens every
// stream through a duplicate of its input, and a file's duplicate opens
// the file again, thousands of times for a configuration.
Status OpenCompoundFile(const std::string& file, std::unique_ptr<CompoundFile>& compound) {
  compound.reset();
  std::FILE* stream = std::fopen(file.c_str(), "rb");
  if (stream == nullptr) return Status::Error(Status::kFail, file + ": cannot be read: " + std::strerror(errno));
  std::string bytes;
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) bytes.append(buffer, got);
  const int error = std::ferror(stream) ? errno : 0;
  std::fclose(stream);
  if (error != 0) return Status::Error(Status::kFail, file + ": cannot be read: " + std::strerror(error));
  return OpenCompoundFileFromMemory(std::move(bytes), file, compound);
}

Status OpenCompoundFileFromMemory(std::string bytes, const std::string& name, std::unique_ptr<CompoundFile>& compound) {
  compound.reset();
  InitGsfOnce();
  auto opened = std::make_unique<GsfCompoundFile>(name, std::move(bytes));
  // libgsf reads the copy `opened` holds, which outlives every input.
  const std::string& held = opened->Memory();
  InputPtr input(
      gsf_input_memory_new(reinterpret_cast<const guint8*>(held.data()), static_cast<gsf_off_t>(held.size()), FALSE));
  if (input == nullptr) return Status::Error(Status::kOutOfMemory, name + ": cannot be held in memory");
  RAMULET_RETURN_IF_ERROR(opened->Open(std::move(input)));
  compound = std::move(opened);
  return Status::Ok();
}

bool CompoundFilesSupported() { return true; }

}  // namespace ramulet
