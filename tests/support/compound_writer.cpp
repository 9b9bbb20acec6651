#include "tests/support/compound_writer.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>
#include <zlib.h>

#include <map>
#include <mutex>
#include <stdexcept>

#include "platform/text.h"
#include "textio/text_decoding.h"

namespace ramulet {
namespace {

// A storage of the file being written: its storages and streams by name.
struct Storage {
  std::map<std::string, Storage> storages;
  std::map<std::string, const std::string*> streams;
};

void AddStream(Storage& root, const CompoundStream& stream) {
  Storage* storage = &root;
  size_t start = 0;
  for (size_t slash; (slash = stream.path.find('/', start)) != std::string::npos; start = slash + 1) {
    storage = &storage->storages[stream.path.substr(start, slash - start)];
  }
  storage->streams[stream.path.substr(start)] = &stream.bytes;
}

// Writes `storage` into `out`; each child is closed before its parent.
bool WriteStorage(GsfOutfile* out, const Storage& storage) {
  bool ok = true;
  for (const auto& [name, child] : storage.storages) {
    GsfOutput* dir = gsf_outfile_new_child(out, name.c_str(), TRUE);
    ok = dir != nullptr && WriteStorage(GSF_OUTFILE(dir), child) && gsf_output_close(dir) && ok;
    if (dir != nullptr) g_object_unref(dir);
  }
  for (const auto& [name, bytes] : storage.streams) {
    GsfOutput* stream = gsf_outfile_new_child(out, name.c_str(), FALSE);
    ok = stream != nullptr && gsf_output_write(stream, bytes->size(), reinterpret_cast<const guint8*>(bytes->data())) &&
         gsf_output_close(stream) && ok;
    if (stream != nullptr) g_object_unref(stream);
  }
  return ok;
}

}  // namespace

Status WriteCompoundFile(const std::string& file, const std::vector<CompoundStream>& streams) {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
  Storage root;
  for (const CompoundStream& stream : streams) AddStream(root, stream);
  GError* error = nullptr;
  GsfOutput* sink = gsf_output_stdio_new(file.c_str(), &error);
  if (sink == nullptr) {
    std::string message = error != nullptr ? error->message : "cannot be created";
    if (error != nullptr) g_error_free(error);
    return Status::Error(Status::kFail, file + ": " + message);
  }
  GsfOutfile* outfile = gsf_outfile_msole_new(sink);
  bool ok = WriteStorage(outfile, root);
  ok = gsf_output_close(GSF_OUTPUT(outfile)) && ok;
  g_object_unref(outfile);
  ok = (gsf_output_is_closed(sink) || gsf_output_close(sink)) && ok;
  g_object_unref(sink);
  return ok ? Status::Ok() : Status::Error(Status::kFail, file + ": the compound file was not written whole");
}

std::string DeflateRaw(std::string_view bytes) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return out;
}

std::string Cp1251(std::string_view utf8) {
  std::u16string text = Utf8ToUtf16(utf8);
  DecodeNotes notes;
  notes.used = Encoding::Cp1251;
  return EncodeText(text, notes);
}

}  // namespace ramulet
