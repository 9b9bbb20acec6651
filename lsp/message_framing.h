#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace ramulet::lsp {

// The base protocol: each message is headers ("Name: value" lines ending in
// CR LF), an empty line, then exactly Content-Length bytes of JSON.
struct FramedMessage {
  enum class Kind {
    kMessage,   // `body` holds the content
    kBadFrame,  // the frame was unusable; `error` says why, reading goes on
    kEnd,       // the input ended
  };
  Kind kind = Kind::kEnd;
  std::string body;
  std::string error;
};

// Messages larger than this are refused at once: the frame is reported bad
// as soon as its headers are read, and the reader looks for the next header
// in what follows, as after a length it cannot read.
inline constexpr size_t kMaxMessageBytes = size_t{64} << 20;

// Reads frames from a stream buffer one byte or one body at a time, never
// taking a byte past the frame it completes. Lines before a header that are
// no header are skipped, so a reader that lost its place (a wrong
// Content-Length) finds the next message again. A frame read in part is
// kept between calls: Read() and ReadArrived() may be mixed freely.
class FrameReader {
 public:
  explicit FrameReader(size_t max_bytes = kMaxMessageBytes) : max_bytes_(max_bytes) {}

  // The next frame; waits for input as long as the stream does. kEnd when
  // the input ends, even in the middle of a frame.
  FramedMessage Read(std::streambuf& in);
  // Takes only bytes that have arrived already (in_avail), at most
  // `budget` of them, and never waits: the frame they complete, or nothing
  // when it is not complete yet.
  std::optional<FramedMessage> ReadArrived(std::streambuf& in, size_t budget);
  // Bytes held of the frame in progress.
  size_t held_bytes() const { return line_.size() + body_.size(); }

 private:
  // Takes at most `limit` bytes (all that are needed when `wait`); `taken`
  // grows by the bytes taken.
  std::optional<FramedMessage> TakeHeaderBytes(std::streambuf& in, size_t limit, size_t& taken);
  std::optional<FramedMessage> TakeBodyBytes(std::streambuf& in, size_t limit, bool wait, size_t& taken);
  std::optional<FramedMessage> EndOfLine(bool too_long);
  std::optional<FramedMessage> EndOfHeaders();
  FramedMessage Finish(FramedMessage message);

  size_t max_bytes_;
  bool in_body_ = false;
  // The headers read so far.
  std::string line_;
  bool line_too_long_ = false;
  bool in_headers_ = false;
  bool has_length_ = false;
  bool bad_length_ = false;
  size_t length_ = 0;
  // The body read so far; when it cannot be held, its bytes are counted
  // and dropped.
  std::string body_;
  size_t body_read_ = 0;
  bool discarding_ = false;
};

// Reads the next message, waiting as long as the stream does (a
// FrameReader used for one frame).
FramedMessage ReadMessage(std::istream& in, size_t max_bytes = kMaxMessageBytes);

void WriteMessage(std::ostream& out, std::string_view body);

}  // namespace ramulet::lsp
