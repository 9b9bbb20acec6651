// Raw DEFLATE (no zlib header or checksum), as the old platform stores its
// module streams, inflated with zlib.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "config/md/compound_file.h"

namespace ramulet {
namespace {

// No module is anywhere near this; a stream inflating past it is damaged
// or hostile (a few kilobytes of DEFLATE can claim gigabytes).
constexpr size_t kMaxInflated = size_t{512} << 20;
// zlib counts in 32 bits; larger inputs are fed in pieces.
constexpr size_t kMaxFeed = size_t{1} << 30;

Status InflateError(const z_stream& z, const std::string& why) {
  return Status::Error(Status::kInvalidArgument, "does not inflate: " + why + " at byte " + std::to_string(z.total_in) +
                                                     " of the compressed data");
}

// Ends the inflation on every way out.
struct InflateEnder {
  z_stream* z;
  ~InflateEnder() { inflateEnd(z); }
};

}  // namespace

Status InflateRaw(const std::string& deflated, std::string& text) {
  text.clear();
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return Status::Error(Status::kOutOfMemory, "cannot start inflating");
  InflateEnder ender{&z};
  // Module text compresses about four to one; the output grows by doubling.
  text.resize(std::clamp<size_t>(deflated.size() * 4, 4096, kMaxInflated));
  size_t fed = 0;
  size_t produced = 0;
  for (;;) {
    if (z.avail_in == 0 && fed < deflated.size()) {
      const size_t piece = std::min(deflated.size() - fed, kMaxFeed);
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.data() + fed));
      z.avail_in = static_cast<uInt>(piece);
      fed += piece;
    }
    if (produced == text.size()) {
      if (text.size() >= kMaxInflated) {
        return InflateError(z, "the text grows past " + std::to_string(kMaxInflated >> 20) + " MiB");
      }
      text.resize(std::min(text.size() * 2, kMaxInflated));
    }
    const size_t room = std::min(text.size() - produced, kMaxFeed);
    z.next_out = reinterpret_cast<Bytef*>(text.data() + produced);
    z.avail_out = static_cast<uInt>(room);
    const int result = inflate(&z, Z_NO_FLUSH);
    produced += room - z.avail_out;
    if (result == Z_STREAM_END) break;
    if (result == Z_BUF_ERROR || (result == Z_OK && z.avail_in == 0 && fed == deflated.size() && z.avail_out != 0)) {
      if (z.avail_in == 0 && fed == deflated.size()) {
        text.clear();
        return InflateError(z, "the data stops before its end");
      }
      continue;  // no room was left: grow and go on
    }
    if (result != Z_OK) {
      text.clear();
      if (result == Z_MEM_ERROR) return Status::Error(Status::kOutOfMemory, "out of memory while inflating");
      return InflateError(z, z.msg != nullptr ? z.msg : "invalid data");
    }
  }
  text.resize(produced);
  return Status::Ok();
}

}  // namespace ramulet
