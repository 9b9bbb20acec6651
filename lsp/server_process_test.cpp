// The built `ramulet lsp` out of memory: run under an address-space limit,
// it refuses what it cannot analyse and goes on serving.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "lsp/lsp_test_support.h"

namespace ramulet::lsp {
namespace {

namespace fs = std::filesystem;

using testing::NotificationFrame;
using testing::RequestFrame;
using testing::TextDocumentParams;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Far less than the analysis of the large modules below needs.
constexpr int kAddressSpaceKiB = 150000;

fs::path TempPath(const std::string& suffix) {
  static const unsigned salt = std::random_device()();
  std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  return fs::temp_directory_path() / ("ramulet-" + test + "-" + std::to_string(salt) + suffix);
}

// A module of `bytes` or a little more, one method after another.
std::string LargeModule(size_t bytes, int& methods) {
  std::string text;
  for (methods = 0; text.size() < bytes; ++methods) {
    std::string name = "П" + std::to_string(methods);
    text += "Процедура " + name + "()\n\tП" + std::to_string(methods + 1) + "();\nКонецПроцедуры\n";
  }
  return text;
}

Json OpenParams(const std::string& uri, const std::string& text) {
  return Json{{"textDocument", Json{{"uri", uri}, {"languageId", "bsl"}, {"version", 1}, {"text", text}}}};
}

struct ProcessRun {
  bool exited = false;  // not killed by a signal
  int code = -1;
  std::vector<Json> sent;
};

ProcessRun RunLimited(const std::string& input) {
  fs::path in = TempPath(".in");
  fs::path out = TempPath(".out");
  std::ofstream(in, std::ios::binary) << input;
  std::string command = "bash -c 'ulimit -v " + std::to_string(kAddressSpaceKiB) + "; exec \"" RAMULET_BINARY "\" lsp' <\"" +
                        in.string() + "\" >\"" + out.string() + "\" 2>/dev/null";
  int raw = std::system(command.c_str());
  ProcessRun run;
  // The shell reports a signal that ended the server as 128 + its number.
  run.exited = WIFEXITED(raw) && WEXITSTATUS(raw) < 128;
  run.code = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream file(out, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  run.sent = testing::ReadSent(text.str());
  fs::remove(in);
  fs::remove(out);
  return run;
}

const Json* Find(const std::vector<Json>& sent, int id) {
  for (const Json& message : sent) {
    if (message.value("id", Json()) == id && !message.contains("method")) return &message;
  }
  return nullptr;
}

bool Refused(const std::vector<Json>& sent, const std::string& uri) {
  for (const Json& message : sent) {
    if (message.value("method", "") == "textDocument/publishDiagnostics" && message["params"]["uri"] == uri &&
        !message["params"]["diagnostics"].empty()) {
      return true;
    }
  }
  return false;
}

TEST(ServerProcessTest, OutOfMemoryRefusesTheDocumentAndTheServerGoesOn) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer's own reservations exceed the address-space limit";
  const size_t sizes[] = {size_t{7} << 20};
  for (size_t size : sizes) {
    int methods = 0;
    std::string large = LargeModule(size, methods);
    // One large module opened, and a small one replaced by a large text.
    std::string input = RequestFrame(0, "initialize", Json{{"capabilities", Json::object()}}) +
                        NotificationFrame("initialized") +
                        NotificationFrame("textDocument/didOpen", OpenParams("file:///large.bsl", large)) +
                        RequestFrame(1, "textDocument/documentSymbol", TextDocumentParams("file:///large.bsl")) +
                        NotificationFrame("textDocument/didOpen", OpenParams("file:///small.bsl", "Процедура А()\nКонецПроцедуры\n")) +
                        NotificationFrame("textDocument/didChange",
                                          Json{{"textDocument", Json{{"uri", "file:///small.bsl"}, {"version", 2}}},
                                               {"contentChanges", Json::array({Json{{"text", large}}})}}) +
                        RequestFrame(2, "textDocument/documentSymbol", TextDocumentParams("file:///small.bsl")) +
                        RequestFrame(3, "shutdown", nullptr) + NotificationFrame("exit");
    large.clear();
    ProcessRun run = RunLimited(input);
    ASSERT_TRUE(run.exited) << size << " bytes: the server was killed";
    EXPECT_EQ(run.code, 0) << size;
    const std::pair<int, std::string> documents[] = {{1, "file:///large.bsl"}, {2, "file:///small.bsl"}};
    for (const auto& [id, uri] : documents) {
      const Json* response = Find(run.sent, id);
      ASSERT_NE(response, nullptr) << size << " bytes: no answer to " << id;
      if (response->contains("error") && (*response)["error"]["code"] == -32603) {
        // Taken, but the answer itself did not fit: said so, nothing else.
        EXPECT_EQ((*response)["error"]["message"], "out of memory") << size << " " << uri;
      } else if (response->contains("error")) {
        // Refused: said so on the document, and never answered from it.
        EXPECT_EQ((*response)["error"]["code"], -32602) << size;
        EXPECT_TRUE(Refused(run.sent, uri)) << size << " " << uri;
      } else {
        // Taken: then with its own analysis, never an older one.
        EXPECT_EQ((*response)["result"].size(), static_cast<size_t>(methods)) << size << " " << uri;
      }
    }
    EXPECT_NE(Find(run.sent, 3), nullptr) << size;
  }
}

}  // namespace
}  // namespace ramulet::lsp
