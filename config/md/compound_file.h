#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"

namespace ramulet {

// An OLE compound file opened for reading: its streams by path
// ("TypedText/ModuleText_Number1/MD Programm text"). One thread at a time:
// a read moves the stream's position.
class CompoundFile {
 public:
  virtual ~CompoundFile() = default;
  // Every stream's path, storages joined with "/", in the file's order.
  virtual std::vector<std::string> StreamPaths() const = 0;
  // Reads the stream at `path` whole. Fails naming the stream when it is
  // not there or its sector chain is broken.
  virtual Status ReadStream(const std::string& path, std::string& bytes) const = 0;
};

// Opens the compound file at `file`. Fails with a readable message when it
// is no compound file or cannot be read.
Status OpenCompoundFile(const std::string& file, std::unique_ptr<CompoundFile>& compound);
// The same for a compound file held in memory (`name` stands for it in
// messages); the reader keeps its own copy of the bytes.
Status OpenCompoundFileFromMemory(std::string bytes, const std::string& name, std::unique_ptr<CompoundFile>& compound);

// Whether this build reads compound files (the Windows build does not).
bool CompoundFilesSupported();

// Inflates raw DEFLATE data (no zlib header) into `text`; fails, saying
// where and why, on data that does not inflate or stops short.
Status InflateRaw(const std::string& deflated, std::string& text);

}  // namespace ramulet
