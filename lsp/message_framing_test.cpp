#include "lsp/message_framing.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ramulet::lsp {
namespace {

using Kind = FramedMessage::Kind;

std::vector<FramedMessage> ReadAll(const std::string& input, size_t max_bytes = kMaxMessageBytes) {
  std::istringstream in(input);
  std::vector<FramedMessage> messages;
  for (int i = 0; i < 100; ++i) {
    messages.push_back(ReadMessage(in, max_bytes));
    if (messages.back().kind == Kind::kEnd) break;
  }
  return messages;
}

std::string Describe(const std::vector<FramedMessage>& messages) {
  std::string text;
  for (const FramedMessage& m : messages) {
    text += m.kind == Kind::kMessage ? "M(" + m.body + ")" : m.kind == Kind::kBadFrame ? "bad " : "end";
  }
  return text;
}

TEST(MessageFramingTest, ReadsFramesAndFindsItsPlaceAgainAfterBadOnes) {
  struct Case {
    const char* name;
    std::string input;
    std::string read;
  };
  const Case cases[] = {
      {"two messages", "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]", "M({})M([1])end"},
      {"other headers, any case, LF only", "content-type: x\ncontent-length:  2 \n\n{}", "M({})end"},
      {"noise before a header", "hello\r\n\r\nContent-Length: 2\r\n\r\n{}", "M({})end"},
      {"no Content-Length", "Content-Type: x\r\n\r\nContent-Length: 2\r\n\r\n{}", "bad M({})end"},
      {"a length that is no number", "Content-Length: 2x\r\n\r\n", "bad end"},
      {"a negative length", "Content-Length: -2\r\n\r\n", "bad end"},
      {"a body shorter than said", "Content-Length: 10\r\n\r\n{}", "end"},
      {"a length too short runs into the next header",
       "Content-Length: 3\r\n\r\n{\"a\":1}Content-Length: 2\r\n\r\n{}", "M({\"a)M({})end"},
      {"a malformed header line", "Content-Length: 2\r\n{oops\r\n\r\n{}", "bad end"},
      {"empty input", "", "end"},
  };
  for (const Case& c : cases) EXPECT_EQ(Describe(ReadAll(c.input)), c.read) << c.name;
}

TEST(MessageFramingTest, MessagesOverTheLimitAreRefusedAtOnceAndTheNextHeaderIsFound) {
  std::string big(100, 'x');
  // The body that follows is passed over as noise up to the next header.
  EXPECT_EQ(Describe(ReadAll("Content-Length: 100\r\n\r\n" + big + "Content-Length: 2\r\n\r\n{}", 50)), "bad M({})end");
  EXPECT_EQ(Describe(ReadAll("Content-Length: 100\r\n\r\n" + big + "\r\nContent-Length: 2\r\n\r\n{}", 50)),
            "bad M({})end");
  // A length that no memory could hold is refused, not allocated, and what
  // follows it is not taken for its body.
  EXPECT_EQ(Describe(ReadAll("Content-Length: 99999999999999999\r\n\r\n{}")), "bad end");
  EXPECT_EQ(Describe(ReadAll("Content-Length: 9223372036854775807\r\n\r\nContent-Length: 2\r\n\r\n{}")),
            "bad M({})end");
}

// A stream whose bytes arrive in steps: only those released so far can be
// read, and in_avail() tells how many, as for a pipe.
class SteppedInput : public std::streambuf {
 public:
  explicit SteppedInput(std::string text) : text_(std::move(text)) { setg(text_.data(), text_.data(), text_.data()); }
  void Release(size_t bytes) { setg(eback(), gptr(), text_.data() + bytes); }

 protected:
  int_type underflow() override { return traits_type::eof(); }

 private:
  std::string text_;
};

TEST(MessageFramingTest, ReadingWhatHasArrivedTakesOnlyCompleteFramesAndKeepsTheRest) {
  std::string input = "noise\r\nContent-Length: 5\r\n\r\n[1,2]Content-Length: 2\r\n\r\n{}";
  // Released a byte at a time, each frame completes exactly at its last byte.
  SteppedInput in(input);
  FrameReader reader;
  std::string read;
  for (size_t released = 0; released <= input.size(); ++released) {
    in.Release(released);
    while (std::optional<FramedMessage> message = reader.ReadArrived(in, 1000)) {
      read += "M(" + message->body + ")@" + std::to_string(released) + " ";
    }
  }
  EXPECT_EQ(read, "M([1,2])@33 M({})@56 ");
  // A budget ends the reading even though more has arrived.
  SteppedInput all(input);
  all.Release(input.size());
  FrameReader limited;
  EXPECT_FALSE(limited.ReadArrived(all, 10));
  EXPECT_EQ(limited.held_bytes(), 3u);  // "Con" of the header line after the noise
  EXPECT_EQ(limited.Read(all).body, "[1,2]");
}

TEST(MessageFramingTest, OverlongHeaderLinesEndTheFrame) {
  std::string input = "Content-Length: 2\r\nX-Long: " + std::string(10000, 'a') + "\r\n\r\n{}";
  EXPECT_EQ(Describe(ReadAll(input)), "bad end");
}

TEST(MessageFramingTest, WritesTheLengthInBytes) {
  std::ostringstream out;
  WriteMessage(out, "{\"a\":\"\xD0\xAF\"}");
  EXPECT_EQ(out.str(), "Content-Length: 10\r\n\r\n{\"a\":\"\xD0\xAF\"}");
}

}  // namespace
}  // namespace ramulet::lsp
