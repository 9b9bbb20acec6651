#include "lsp/message_framing.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ramulet::lsp {

namespace {

// Header lines longer than this are not headers; the rest of such a line
// is skipped without being held.
constexpr size_t kMaxHeaderLine = 4096;

enum class LineResult { kLine, kTooLong, kEnd };

LineResult ReadHeaderLine(std::istream& in, std::string& line) {
  line.clear();
  bool too_long = false;
  int c;
  while ((c = in.get()) != std::char_traits<char>::eof()) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return too_long ? LineResult::kTooLong : LineResult::kLine;
    }
    if (line.size() < kMaxHeaderLine) {
      line.push_back(static_cast<char>(c));
    } else {
      too_long = true;
    }
  }
  return LineResult::kEnd;
}

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

void Skip(std::istream& in, size_t bytes) {
  char buffer[8192];
  while (bytes > 0 && in) {
    in.read(buffer, static_cast<std::streamsize>(std::min(bytes, sizeof buffer)));
    bytes -= static_cast<size_t>(in.gcount());
    if (in.gcount() == 0) break;
  }
}

FramedMessage Bad(std::string error) {
  FramedMessage message;
  message.kind = FramedMessage::Kind::kBadFrame;
  message.error = std::move(error);
  return message;
}

}  // namespace

FramedMessage ReadMessage(std::istream& in, size_t max_bytes) {
  std::string line;
  bool in_headers = false;
  bool has_length = false;
  bool bad_length = false;
  size_t length = 0;
  while (true) {
    LineResult result = ReadHeaderLine(in, line);
    if (result == LineResult::kEnd) return FramedMessage{};
    if (!in_headers) ResyncOnContentLength(line);
    if (result == LineResult::kTooLong || (!line.empty() && !IsHeader(line))) {
      // Not a header: noise before a message, or the rest of a body that a
      // wrong Content-Length cut short.
      if (in_headers) return Bad("a header line is malformed");
      continue;
    }
    if (line.empty()) {
      if (!in_headers) continue;
      break;
    }
    in_headers = true;
    if (StartsWithNoCase(line, "content-length:")) {
      std::string_view value = Trim(std::string_view(line).substr(15));
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
      has_length = true;
      bad_length = error != std::errc() || end != value.data() + value.size();
    }
  }
  if (!has_length) return Bad("the message has no Content-Length header");
  if (bad_length) return Bad("the Content-Length header is not a number");
  if (length > max_bytes) {
    Skip(in, length);
    return Bad("the message of " + std::to_string(length) + " bytes is larger than the " +
               std::to_string(max_bytes) + " bytes accepted");
  }
  FramedMessage message;
  message.kind = FramedMessage::Kind::kMessage;
  message.body.resize(length);
  in.read(message.body.data(), static_cast<std::streamsize>(length));
  if (static_cast<size_t>(in.gcount()) != length) return FramedMessage{};
  return message;
}

void WriteMessage(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

}  // namespace ramulet::lsp
