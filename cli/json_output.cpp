#include "cli/json_output.h"

#include <charconv>
#include <string>
#include <string_view>

#include "cli/json_string.h"
#include "cli/recorded_methods.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// The whole output goes through one buffer that is written out in pieces
// of some kilobytes: tens of thousands of small stream insertions cost more
// than the analysis, and one buffer for the whole output could grow as
// large as the output.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) { buffer_.reserve(kFlushAt + 4096); }
  ~JsonWriter() { Flush(); }

  JsonWriter& operator<<(std::string_view text) {
    buffer_ += text;
    return *this;
  }
  JsonWriter& operator<<(int32_t value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
  }
  JsonWriter& String(std::u16string_view text) {
    AppendJsonString(text, buffer_);
    if (buffer_.size() >= kFlushAt) Flush();
    return *this;
  }
  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr size_t kFlushAt = 1 << 16;
  std::ostream& out_;
  std::string buffer_;
};

void WriteCallList(const MethodTables& tables, int32_t m, JsonWriter& out) {
  out << "[";
  for (int32_t p = 1; p <= tables.CallCount(m); ++p) {
    if (p > 1) out << ", ";
    out << "{\"target\": " << tables.CallTarget(m, p) << ", \"line\": " << tables.CallLine(m, p) << "}";
  }
  out << "]";
}

void WriteCallerList(const MethodTables& tables, int32_t m, JsonWriter& out) {
  out << "[";
  for (int32_t p = 1; p <= tables.CallerCount(m); ++p) {
    if (p > 1) out << ", ";
    out << tables.CallerList(m, p);
  }
  out << "]";
}

void WriteMethodHead(int32_t index, std::u16string_view name, int32_t header_line, JsonWriter& out) {
  out << "{\"index\": " << index << ", \"name\": ";
  out.String(name) << ", \"headerLine\": " << header_line << ", \"endLine\": ";
}

void WriteAnalysedMethods(const MethodTables& tables, JsonWriter& out) {
  for (int32_t m = 0; m < tables.MethodCount(); ++m) {
    if (m > 0) out << ", ";
    WriteMethodHead(m, tables.MethName[m], tables.MethStart[m], out);
    out << tables.MethEnd[m] << ", \"calls\": ";
    WriteCallList(tables, m, out);
    out << ", \"callers\": ";
    WriteCallerList(tables, m, out);
    out << "}";
  }
}

void WriteRecordedMethods(const MethodTables& tables, JsonWriter& out) {
  bool first = true;
  for (const RecordedMethod& method : RecordedMethods(tables)) {
    if (!first) out << ", ";
    first = false;
    WriteMethodHead(method.index, method.name, method.header_line, out);
    out << "null, \"calls\": [], \"callers\": []}";
  }
}

void WriteNode(const NodeStore& nodes, int32_t node, JsonWriter& out) {
  out << "{\"name\": ";
  out.String(nodes.Text(node)) << ", \"children\": [";
  bool first = true;
  for (int32_t child = nodes.FirstChild(node); child != NodeStore::kNoNode; child = nodes.NextSibling(child)) {
    if (!first) out << ", ";
    first = false;
    WriteNode(nodes, child, out);
  }
  out << "]}";
}

void WriteTopLevel(const NodeStore& nodes, JsonWriter& out) {
  for (int32_t node = 1; node <= nodes.Count() && nodes.Parent(node) == NodeStore::kNoNode; ++node) {
    if (node > 1) out << ", ";
    WriteNode(nodes, node, out);
  }
}

void WriteError(const AnalysisResult& result, const Status& analysis, JsonWriter& out) {
  if (result.duplicate) {
    out << ", \"error\": {\"kind\": \"duplicate-method\", \"name\": ";
    out.String(result.duplicate->name) << ", \"line\": " << result.duplicate->line << "}";
    return;
  }
  out << ", \"error\": {\"kind\": \"analysis-failed\", \"message\": ";
  out.String(Utf8ToUtf16(analysis.message())) << "}";
}

}  // namespace

void WriteJson(const AnalysisResult& result, const Status& analysis, bool include_tree, std::ostream& stream) {
  JsonWriter out(stream);
  bool analysed = analysis.ok() && result.tables.analyzed;
  out << "{\"lineCount\": " << result.line_count << ", \"methods\": [";
  if (analysed) {
    WriteAnalysedMethods(result.tables, out);
  } else {
    WriteRecordedMethods(result.tables, out);
  }
  bool has_tree = analysed && result.tree_count;
  int32_t node_count = has_tree ? result.tree_count->nodes : 0;
  out << "], \"nodeCount\": " << node_count << ", \"tree\": [";
  if (has_tree && include_tree && result.tree_built) WriteTopLevel(result.tree.nodes, out);
  out << "], \"truncated\": " << (has_tree && result.tree_count->truncated ? "true" : "false");
  if (!analysis.ok()) WriteError(result, analysis, out);
  out << "}\n";
}

}  // namespace ramulet
