#include "lsp/message_queue.h"

namespace ramulet::lsp {

namespace {

size_t HeldBy(const FramedMessage& message) { return message.body.size() + message.error.size(); }

}  // namespace

MessageQueue::MessageQueue(std::istream& in, OnRead on_read, LookAheadLimits limits, size_t max_message_bytes)
    : in_(in.rdbuf()), reader_(max_message_bytes), on_read_(std::move(on_read)), limits_(limits) {
  ended_ = in_ == nullptr || !in.good();
}

FramedMessage MessageQueue::Next() {
  if (!queue_.empty()) {
    FramedMessage message = std::move(queue_.front());
    queue_.pop_front();
    queued_bytes_ -= HeldBy(message);
    return message;
  }
  if (ended_) return FramedMessage{};
  FramedMessage message = reader_.Read(*in_);
  if (message.kind == FramedMessage::Kind::kEnd) {
    ended_ = true;
  } else {
    on_read_(message);
  }
  return message;
}

void MessageQueue::ReadArrived() {
  while (!ended_ && queue_.size() < limits_.messages && held_bytes() < limits_.bytes) {
    std::optional<FramedMessage> message = reader_.ReadArrived(*in_, limits_.bytes - held_bytes());
    if (!message) return;
    if (message->kind == FramedMessage::Kind::kEnd) {
      ended_ = true;
      return;
    }
    queue_.push_back(std::move(*message));
    queued_bytes_ += HeldBy(queue_.back());
    on_read_(queue_.back());
  }
}

}  // namespace ramulet::lsp
