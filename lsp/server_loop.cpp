// The process's side of the server: framed messages in, framed answers out.
#include <deque>

#include "lsp/message_framing.h"
#include "lsp/server.h"

namespace ramulet::lsp {

namespace {

// Reads the messages that have arrived already, without waiting for more,
// so that cancellations among them are known before the requests they
// cancel are answered.
void ReadWaiting(std::istream& in, std::deque<FramedMessage>& waiting, bool& ended) {
  while (!ended && in.rdbuf()->in_avail() > 0) {
    FramedMessage message = ReadMessage(in);
    if (message.kind == FramedMessage::Kind::kEnd) {
      ended = true;
    } else {
      waiting.push_back(std::move(message));
    }
  }
}

}  // namespace

int RunServer(std::istream& in, std::ostream& out, size_t max_document_units) {
  Server server([&out](const std::string& body) { WriteMessage(out, body); }, max_document_units);
  std::deque<FramedMessage> waiting;
  bool ended = false;
  // Nobody reads the answers once the output fails.
  while (!server.exited() && out) {
    size_t known = waiting.size();
    if (waiting.empty()) {
      FramedMessage message = ReadMessage(in);
      if (message.kind == FramedMessage::Kind::kEnd) break;
      waiting.push_back(std::move(message));
    }
    ReadWaiting(in, waiting, ended);
    for (size_t i = known; i < waiting.size(); ++i) {
      if (waiting[i].kind == FramedMessage::Kind::kMessage) server.NoteWaiting(waiting[i].body);
    }
    FramedMessage message = std::move(waiting.front());
    waiting.pop_front();
    if (message.kind == FramedMessage::Kind::kBadFrame) {
      server.HandleBadFrame(message.error);
    } else {
      server.HandleBody(message.body);
    }
  }
  return server.exit_code();
}

}  // namespace ramulet::lsp
