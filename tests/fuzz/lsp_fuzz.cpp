// Feeds arbitrary bytes to the language server: as raw input after a valid
// start (the framing), or, when the first byte is odd, as message bodies
// separated by NUL bytes, each framed correctly (the request handling).
// Whatever comes in, the server must answer in well-formed frames of valid
// JSON and end when its input ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/message_framing.h"
#include "lsp/server.h"

namespace {

using ramulet::lsp::FramedMessage;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Frame(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

const char kStart[] =
    R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})"
    "\0"
    R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///m","version":1,)"
    R"("text":"Процедура А()\n\tБ(1); Б(2);\nКонецПроцедуры\nФункция Б(Х)\n\tВозврат А();\nКонецФункции\n"}}})";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input;
  std::string start(kStart, sizeof kStart - 1);
  size_t nul = start.find('\0');
  input += Frame(start.substr(0, nul)) + Frame(start.substr(nul + 1));
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!bytes.empty() && (bytes[0] & 1)) {
    size_t begin = 1;
    while (begin <= bytes.size()) {
      size_t end = bytes.find('\0', begin);
      if (end == std::string::npos) end = bytes.size();
      input += Frame(bytes.substr(begin, end - begin));
      begin = end + 1;
    }
  } else {
    input += bytes;
  }
  std::istringstream in(input);
  std::ostringstream out;
  // One analyzer for every input, as one server process has.
  static const auto analyzer = std::make_shared<const ramulet::ModuleAnalyzer>();
  int code = ramulet::lsp::RunServer(in, out, ramulet::lsp::kMaxDocumentUnits, analyzer);
  Check(code == 0 || code == 1);
  std::istringstream sent(out.str());
  while (true) {
    FramedMessage message = ramulet::lsp::ReadMessage(sent);
    if (message.kind == FramedMessage::Kind::kEnd) break;
    Check(message.kind == FramedMessage::Kind::kMessage);
    Check(nlohmann::json::accept(message.body));
  }
  return 0;
}
