#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <istream>

#include "lsp/message_framing.h"

namespace ramulet::lsp {

// How far the server reads ahead of the message it works on. Past these
// it reads no more, so that a client that writes faster than it is
// answered is held back by the pipe instead of filling the memory.
struct LookAheadLimits {
  size_t messages = 1024;
  size_t bytes = size_t{4} << 20;
};

// The messages of an input in order: the one to work on next, and those
// that have arrived completely behind it (where cancellations are found).
class MessageQueue {
 public:
  // `on_read` sees every frame once, as it is read, in order.
  using OnRead = std::function<void(const FramedMessage&)>;
  MessageQueue(std::istream& in, OnRead on_read, LookAheadLimits limits = {},
               size_t max_message_bytes = kMaxMessageBytes);

  // The oldest message not taken yet: a queued one, else the next one from
  // the input, waited for. kEnd once the input has ended.
  FramedMessage Next();
  // Queues the messages that have arrived completely, up to the limits,
  // without waiting for any byte.
  void ReadArrived();

  size_t queued_messages() const { return queue_.size(); }
  // The queued messages' bytes and those read of the one after them.
  size_t held_bytes() const { return queued_bytes_ + reader_.held_bytes(); }

 private:
  std::streambuf* in_;
  FrameReader reader_;
  OnRead on_read_;
  LookAheadLimits limits_;
  std::deque<FramedMessage> queue_;
  size_t queued_bytes_ = 0;
  bool ended_ = false;
};

}  // namespace ramulet::lsp
