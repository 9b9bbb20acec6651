#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
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

// Messages larger than this are refused (and skipped without being held).
inline constexpr size_t kMaxMessageBytes = size_t{64} << 20;

// Reads the next message. Lines before a header that are no header are
// skipped, so a reader that lost its place (a wrong Content-Length) finds
// the next message again. Never blocks beyond what the stream does.
FramedMessage ReadMessage(std::istream& in, size_t max_bytes = kMaxMessageBytes);

void WriteMessage(std::ostream& out, std::string_view body);

}  // namespace ramulet::lsp
