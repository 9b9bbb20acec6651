#include "lsp/message_framing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <new>

namespace ramulet::lsp {

namespace {

using Traits = std::char_traits<char>;

// Header lines longer than this are not headers; the rest of such a line
// is skipped without being held.
constexpr size_t kMaxHeaderLine = 4096;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsHeader(std::string_view line) {
  size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  return std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
  });
}

// A body cut short by a wrong Content-Length runs straight into the next
// message's header: the line is taken from that header on.
void ResyncOnContentLength(std::string& line) {
  static constexpr std::string_view kName = "content-length:";
  for (size_t i = 1; i + kName.size() <= line.size(); ++i) {
    if (StartsWithNoCase(std::string_view(line).substr(i), kName)) {
      line.erase(0, i);
      return;
    }
  }
}

// Reads and drops up to `bytes` bytes; returns how many there were.
size_t Skip(std::streambuf& in, size_t bytes) {
  char buffer[8192];
  size_t skipped = 0;
  while (skipped < bytes) {
    auto want = static_cast<std::streamsize>(std::min(bytes - skipped, sizeof buffer));
    std::streamsize got = in.sgetn(buffer, want);
    skipped += static_cast<size_t>(got);
    if (got < want) break;
  }
  return skipped;
}

FramedMessage Bad(std::string error) {
  FramedMessage message;
  message.kind = FramedMessage::Kind::kBadFrame;
  message.error = std::move(error);
  return message;
}

}  // namespace

FramedMessage FrameReader::Read(std::streambuf& in) {
  constexpr size_t kAll = std::numeric_limits<size_t>::max();
  while (true) {
    size_t taken = 0;
    std::optional<FramedMessage> done = in_body_ ? TakeBodyBytes(in, kAll, true, taken) : TakeHeaderBytes(in, kAll, taken);
    if (done) return std::move(*done);
  }
}

std::optional<FramedMessage> FrameReader::ReadArrived(std::streambuf& in, size_t budget) {
  while (budget > 0) {
    std::streamsize available = in.in_avail();
    if (available <= 0) return std::nullopt;
    size_t limit = std::min(static_cast<size_t>(available), budget);
    size_t taken = 0;
    std::optional<FramedMessage> done =
        in_body_ ? TakeBodyBytes(in, limit, false, taken) : TakeHeaderBytes(in, limit, taken);
    if (done) return done;
    if (taken == 0) return std::nullopt;
    budget -= taken;
  }
  return std::nullopt;
}

std::optional<FramedMessage> FrameReader::TakeHeaderBytes(std::streambuf& in, size_t limit, size_t& taken) {
  while (taken < limit) {
    Traits::int_type c = in.sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) return Finish(FramedMessage{});
    ++taken;
    if (c == '\n') {
      if (!line_.empty() && line_.back() == '\r') line_.pop_back();
      std::optional<FramedMessage> done = EndOfLine(line_too_long_);
      if (done || in_body_) return done;
    } else if (line_.size() < kMaxHeaderLine) {
      line_.push_back(Traits::to_char_type(c));
    } else {
      line_too_long_ = true;
    }
  }
  return std::nullopt;
}

std::optional<FramedMessage> FrameReader::EndOfLine(bool too_long) {
  if (!in_headers_) ResyncOnContentLength(line_);
  // A line that is no header: noise before a message, or the rest of a body
  // that a wrong Content-Length cut short (or one that was refused).
  bool header = !too_long && (line_.empty() || IsHeader(line_));
  bool blank = line_.empty();
  if (header && !blank) {
    in_headers_ = true;
    if (StartsWithNoCase(line_, "content-length:")) {
      std::string_view value = Trim(std::string_view(line_).substr(15));
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length_);
      has_length_ = true;
      bad_length_ = error != std::errc() || end != value.data() + value.size();
    }
  }
  line_.clear();
  line_too_long_ = false;
  if (!header) return in_headers_ ? std::optional(Finish(Bad("a header line is malformed"))) : std::nullopt;
  if (blank && in_headers_) return EndOfHeaders();
  return std::nullopt;
}

std::optional<FramedMessage> FrameReader::EndOfHeaders() {
  if (!has_length_) return Finish(Bad("the message has no Content-Length header"));
  if (bad_length_) return Finish(Bad("the Content-Length header is not a number"));
  if (length_ > max_bytes_) {
    // Not skipped: a length that no body follows would swallow every
    // message after it. The reader looks for the next header instead.
    return Finish(Bad("the message of " + std::to_string(length_) + " bytes is larger than the " +
                      std::to_string(max_bytes_) + " bytes accepted"));
  }
  in_body_ = true;
  if (length_ == 0) {
    FramedMessage message;
    message.kind = FramedMessage::Kind::kMessage;
    return Finish(std::move(message));
  }
  return std::nullopt;
}

std::optional<FramedMessage> FrameReader::TakeBodyBytes(std::streambuf& in, size_t limit, bool wait, size_t& taken) {
  size_t want = std::min(length_ - body_read_, limit);
  if (!discarding_) {
    try {
      // A body read while nothing else can be done is wanted whole; one
      // read ahead grows only as far as it has arrived.
      if (wait) body_.reserve(length_);
      body_.resize(body_read_ + want);
    } catch (const std::bad_alloc&) {
      std::string().swap(body_);
      discarding_ = true;
    }
  }
  size_t got = 0;
  if (discarding_) {
    got = Skip(in, want);
  } else {
    got = static_cast<size_t>(in.sgetn(body_.data() + body_read_, static_cast<std::streamsize>(want)));
    body_.resize(body_read_ + got);
  }
  body_read_ += got;
  taken += got;
  if (got < want && wait) return Finish(FramedMessage{});  // the input ended inside the body
  if (body_read_ < length_) return std::nullopt;
  if (discarding_) {
    return Finish(Bad("there is not enough memory to hold the message of " + std::to_string(length_) + " bytes"));
  }
  FramedMessage message;
  message.kind = FramedMessage::Kind::kMessage;
  message.body = std::move(body_);
  return Finish(std::move(message));
}

FramedMessage FrameReader::Finish(FramedMessage message) {
  in_body_ = false;
  line_.clear();
  line_too_long_ = false;
  in_headers_ = false;
  has_length_ = false;
  bad_length_ = false;
  length_ = 0;
  body_.clear();
  body_read_ = 0;
  discarding_ = false;
  return message;
}

FramedMessage ReadMessage(std::istream& in, size_t max_bytes) {
  if (!in.good() || in.rdbuf() == nullptr) return FramedMessage{};
  FramedMessage message = FrameReader(max_bytes).Read(*in.rdbuf());
  if (message.kind == FramedMessage::Kind::kEnd) in.setstate(std::ios::eofbit);
  return message;
}

void WriteMessage(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

}  // namespace ramulet::lsp
