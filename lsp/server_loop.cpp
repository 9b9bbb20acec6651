// The process's side of the server: framed messages in, framed answers out.
#include <new>

#include "lsp/message_framing.h"
#include "lsp/memory_reserve.h"
#include "lsp/message_queue.h"
#include "lsp/server.h"

namespace ramulet::lsp {

int RunServer(std::istream& in, std::ostream& out, size_t max_document_units,
              std::shared_ptr<const ModuleAnalyzer> analyzer) {
  InstallMemoryReserve();
  Server server([&out](const std::string& body) { WriteMessage(out, body); }, max_document_units,
                std::move(analyzer));
  MessageQueue queue(in, [&server](const FramedMessage& message) {
    if (message.kind == FramedMessage::Kind::kMessage) server.NoteWaiting(message.body);
  });
  // Nobody reads the answers once the output fails.
  while (!server.exited() && out) {
    FramedMessage message = queue.Next();
    if (message.kind == FramedMessage::Kind::kEnd) break;
    try {
      // Cancellations that have arrived behind it are seen before its turn.
      queue.ReadArrived();
    } catch (const std::bad_alloc&) {
      // Looking ahead stops here; a message read then and not queued is
      // lost, as any answer would be with no memory left.
    }
    if (message.kind == FramedMessage::Kind::kBadFrame) {
      server.HandleBadFrame(message.error);
    } else {
      server.HandleBody(std::move(message.body));
    }
    // Diagnostics held back while edits followed one another go out once
    // no message waits.
    if (queue.queued_messages() == 0) server.Idle();
    RefillMemoryReserve();
  }
  return server.exit_code();
}

}  // namespace ramulet::lsp
