#include "lsp/message_queue.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ramulet::lsp {
namespace {

std::string Frame(const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body; }

TEST(MessageQueueTest, ReadsAheadNoFurtherThanItsLimitsAndLosesNothing) {
  struct Case {
    const char* name;
    LookAheadLimits limits;
  };
  const Case cases[] = {
      {"the count binds", {10, size_t{1} << 20}},
      {"the bytes bind", {1000, 256}},
      {"one message at a time", {1, 4096}},
  };
  const int count = 500;
  std::string input;
  for (int i = 0; i < count; ++i) input += Frame("[" + std::to_string(i) + ",\"" + std::string(40, 'x') + "\"]");
  for (const Case& c : cases) {
    std::istringstream in(input);
    std::vector<std::string> seen;
    MessageQueue queue(in, [&](const FramedMessage& message) { seen.push_back(message.body); }, c.limits);
    std::vector<std::string> taken;
    size_t most_queued = 0;
    size_t most_held = 0;
    while (true) {
      FramedMessage message = queue.Next();
      if (message.kind == FramedMessage::Kind::kEnd) break;
      taken.push_back(message.body);
      queue.ReadArrived();
      most_queued = std::max(most_queued, queue.queued_messages());
      most_held = std::max(most_held, queue.held_bytes());
    }
    ASSERT_EQ(taken.size(), static_cast<size_t>(count)) << c.name;
    EXPECT_EQ(taken, seen) << c.name << ": each frame seen once, as read, in order";
    for (int i = 0; i < count; ++i) EXPECT_EQ(taken[i].substr(0, taken[i].find(',')), "[" + std::to_string(i)) << c.name;
    EXPECT_LE(most_queued, c.limits.messages) << c.name;
    // The byte limit may be passed by one message at most: the one it was
    // reached in, which is kept whole.
    EXPECT_LE(most_held, std::max(c.limits.bytes, taken[0].size())) << c.name;
    EXPECT_GT(most_queued, 0u) << c.name;
  }
}

}  // namespace
}  // namespace ramulet::lsp
