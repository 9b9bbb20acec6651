// The language server on generated modules of 60,000 lines: the answer to
// a call-hierarchy request right after a one-character edit (the edit's
// re-analysis included), documentSymbol, and the memory of ten such
// modules held open.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/support/module_generator.h"
#include "lsp/server.h"
#include "platform/text.h"

namespace ramulet {
namespace {

using Json = nlohmann::json;

constexpr int32_t kLines = 60000;

// A server whose messages are parsed, counted and dropped.
class BenchServer {
 public:
  BenchServer() : server_([this](const std::string& body) { last_ = body; }) {}

  void Send(const Json& message) { server_.HandleBody(message.dump()); }
  // The response as sent; the client's reading is not timed.
  const std::string& RawRequest(const std::string& method, Json params) {
    Send(Json{{"jsonrpc", "2.0"}, {"id", ++id_}, {"method", method}, {"params", std::move(params)}});
    if (last_.find("\"result\"") == std::string::npos) throw std::runtime_error(method + " failed: " + last_);
    return last_;
  }
  Json Request(const std::string& method, Json params) {
    Json response = Json::parse(RawRequest(method, std::move(params)));
    if (!response.contains("result")) throw std::runtime_error(method + " failed: " + last_);
    return response["result"];
  }
  void Notify(const std::string& method, Json params) {
    Send(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }

 private:
  lsp::Server server_;
  std::string last_;
  int id_ = 0;
};

std::string GeneratedText(uint32_t seed) {
  ModuleShape shape;
  shape.lines = kLines;
  shape.methods = kLines / 10000 * 300;
  shape.seed = seed;
  std::vector<std::u16string> lines;
  Status generated = GenerateModule(shape, lines);
  if (!generated.ok()) throw std::runtime_error(generated.message());
  std::u16string text;
  for (const std::u16string& line : lines) text += line + u"\r\n";
  return Utf16ToUtf8(text);
}

std::string Uri(uint32_t seed) { return "file:///generated" + std::to_string(seed) + ".bsl"; }

void Open(BenchServer& server, uint32_t seed) {
  server.Request("initialize", Json::object());
  server.Notify("textDocument/didOpen",
                Json{{"textDocument", Json{{"uri", Uri(seed)}, {"languageId", "bsl"}, {"version", 1},
                                           {"text", GeneratedText(seed)}}}});
}

Json DocumentParams(uint32_t seed) { return Json{{"textDocument", Json{{"uri", Uri(seed)}}}}; }

Json Position(uint32_t seed, int64_t line, int64_t character) {
  Json params = DocumentParams(seed);
  params["position"] = Json{{"line", line}, {"character", character}};
  return params;
}

// A method near the middle of the module, as the client's item.
Json MiddleItem(BenchServer& server) {
  Json symbols = server.Request("textDocument/documentSymbol", DocumentParams(1));
  const Json& symbol = symbols[symbols.size() / 2];
  Json params = Position(1, symbol["selectionRange"]["start"]["line"], symbol["selectionRange"]["start"]["character"]);
  return server.Request("textDocument/prepareCallHierarchy", params)[0];
}

// One character typed into (or deleted from) the middle of the module,
// then the call hierarchy of a method: its item, callees and callers.
void BM_CallHierarchyAfterEdit(benchmark::State& state) {
  BenchServer server;
  Open(server, 1);
  Json item = MiddleItem(server);
  int64_t version = 1;
  size_t callees = 0;
  for (auto _ : state) {
    bool insert = version % 2 == 1;
    Json range{{"start", Json{{"line", kLines / 2}, {"character", 0}}},
               {"end", Json{{"line", kLines / 2}, {"character", insert ? 0 : 1}}}};
    server.Notify("textDocument/didChange",
                  Json{{"textDocument", Json{{"uri", Uri(1)}, {"version", ++version}}},
                       {"contentChanges", Json::array({Json{{"range", range}, {"text", insert ? " " : ""}}})}});
    // The client reads the prepared item before it asks for the calls.
    Json prepared = server.Request("textDocument/prepareCallHierarchy",
                                   Position(1, item["selectionRange"]["start"]["line"],
                                            item["selectionRange"]["start"]["character"]));
    callees = server.RawRequest("callHierarchy/outgoingCalls", Json{{"item", prepared[0]}}).size();
    callees += server.RawRequest("callHierarchy/incomingCalls", Json{{"item", prepared[0]}}).size();
  }
  state.counters["response_bytes"] = static_cast<double>(callees);
}
BENCHMARK(BM_CallHierarchyAfterEdit)->Unit(benchmark::kMillisecond);

void BM_DocumentSymbol(benchmark::State& state) {
  BenchServer server;
  Open(server, 1);
  size_t bytes = 0;
  for (auto _ : state) bytes = server.RawRequest("textDocument/documentSymbol", DocumentParams(1)).size();
  state.counters["symbols"] = static_cast<double>(server.Request("textDocument/documentSymbol", DocumentParams(1)).size());
  state.counters["response_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DocumentSymbol)->Unit(benchmark::kMillisecond);

// The first page of the panel's tree after an edit: the re-analysis, the
// tree's build and the count of its nodes; then the pages that follow.
void BM_CallTreeFirstPageAfterEdit(benchmark::State& state) {
  BenchServer server;
  Open(server, 1);
  int64_t version = 1;
  Json tree;
  for (auto _ : state) {
    bool insert = version % 2 == 1;
    Json range{{"start", Json{{"line", kLines / 2}, {"character", 0}}},
               {"end", Json{{"line", kLines / 2}, {"character", insert ? 0 : 1}}}};
    server.Notify("textDocument/didChange",
                  Json{{"textDocument", Json{{"uri", Uri(1)}, {"version", ++version}}},
                       {"contentChanges", Json::array({Json{{"range", range}, {"text", insert ? " " : ""}}})}});
    Json params = DocumentParams(1);
    params["offset"] = 0;
    params["limit"] = 1000;
    tree = server.Request("ramulet/callTree", params);
  }
  state.counters["tree_nodes"] = tree["nodeCount"].get<double>();
}
BENCHMARK(BM_CallTreeFirstPageAfterEdit)->Unit(benchmark::kMillisecond);

void BM_CallTreeNextPage(benchmark::State& state) {
  BenchServer server;
  Open(server, 1);
  int64_t offset = 0;
  for (auto _ : state) {
    Json params = DocumentParams(1);
    params["offset"] = offset;
    params["limit"] = 1000;
    Json page = server.Request("ramulet/callTree", params);
    offset = page["next"].is_null() ? 0 : page["next"].get<int64_t>();
  }
}
BENCHMARK(BM_CallTreeNextPage)->Unit(benchmark::kMillisecond);

// The resident set of the process, in MiB, with freed memory given back.
double ResidentMiB() {
  malloc_trim(0);
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

// Ten different 60,000-line modules open at once; the counters give the
// process's resident memory and what the open documents added to it.
void BM_TenModulesOpen(benchmark::State& state) {
  double before = 0, after = 0;
  for (auto _ : state) {
    before = ResidentMiB();
    BenchServer server;
    server.Request("initialize", Json::object());
    for (uint32_t seed = 1; seed <= 10; ++seed) {
      server.Notify("textDocument/didOpen",
                    Json{{"textDocument", Json{{"uri", Uri(seed)}, {"languageId", "bsl"}, {"version", 1},
                                               {"text", GeneratedText(seed)}}}});
    }
    after = ResidentMiB();
  }
  state.counters["rss_MiB"] = after;
  state.counters["added_MiB"] = after - before;
}
BENCHMARK(BM_TenModulesOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet
