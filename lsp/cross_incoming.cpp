// callHierarchy/incomingCalls across modules, written straight as JSON
// text: the busiest exported methods of a configuration have thousands of
// callers, and a tree of JSON values for them costs many times the text.
#include <charconv>
#include <unordered_map>

#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"

namespace ramulet::lsp {

namespace {

// JSON text as the library writes it: members in name order, no spaces.
class JsonText {
 public:
  explicit JsonText(std::string& out) : out_(out) {}

  JsonText& Raw(std::string_view text) {
    out_ += text;
    return *this;
  }
  JsonText& Number(int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_.append(digits, end);
    return *this;
  }
  JsonText& String(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ += '"';
    for (char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte == '"' || byte == '\\') {
        out_ += '\\';
        out_ += c;
      } else if (byte < 0x20) {
        out_ += "\\u00";
        out_ += kHex[byte >> 4];
        out_ += kHex[byte & 15];
      } else {
        out_ += c;
      }
    }
    out_ += '"';
    return *this;
  }
  JsonText& Range(int64_t start_line, int64_t start_character, int64_t end_line, int64_t end_character) {
    Raw("{\"end\":{\"character\":").Number(end_character).Raw(",\"line\":").Number(end_line);
    Raw("},\"start\":{\"character\":").Number(start_character).Raw(",\"line\":").Number(start_line);
    return Raw("}}");
  }
  JsonText& Span(const EdgeSpan& span) { return Range(span.line, span.start, span.line, span.end); }

 private:
  std::string& out_;
};

class IncomingWriter {
 public:
  IncomingWriter(const ConfigView& view, std::string& out)
      : view_(view), configuration_(*view.configuration), text_(out) {}

  void Write(std::span<const int32_t> sites) {
    Group(sites);
    text_.Raw("[");
    for (size_t group = 0; group < firsts_.size(); ++group) {
      if (group > 0) text_.Raw(",");
      const Edge& first = Site(sites[ordered_[begins_[group]]]);
      text_.Raw("{\"from\":");
      Caller(first);
      text_.Raw(",\"fromRanges\":[");
      const size_t count = begins_[group + 1] - begins_[group];
      const size_t shown = std::min(count, kMaxFromRanges);
      for (size_t i = 0; i < shown; ++i) {
        if (i > 0) text_.Raw(",");
        text_.Span(SpanOf(configuration_, Site(sites[ordered_[begins_[group] + i]])));
      }
      text_.Raw("]");
      if (count > shown) text_.Raw(",\"fromRangesOmitted\":").Number(static_cast<int64_t>(count - shown));
      text_.Raw("}");
    }
    text_.Raw("]");
  }

 private:
  const Edge& Site(int32_t index) const { return configuration_.graph.edges[static_cast<size_t>(index)]; }

  // Each caller once, in order of its first site: a method, a module's
  // body, or a caller named outside the code. `ordered_` lists the sites
  // (as positions in `sites`) group after group, in their order.
  void Group(std::span<const int32_t> sites) {
    std::unordered_map<int64_t, uint32_t> group_of;
    group_of.reserve(sites.size());
    std::vector<uint32_t> site_group(sites.size());
    for (size_t i = 0; i < sites.size(); ++i) {
      const Edge& edge = Site(sites[i]);
      // Named callers are keyed apart from methods: module numbers are never negative.
      const int64_t key = edge.from.named_caller != kNone ? -1 - static_cast<int64_t>(edge.from.named_caller)
                                                          : (static_cast<int64_t>(edge.from.module) << 32) |
                                                                static_cast<uint32_t>(edge.from.method);
      auto [found, added] = group_of.try_emplace(key, static_cast<uint32_t>(firsts_.size()));
      if (added) firsts_.push_back(i);
      site_group[i] = found->second;
    }
    begins_.assign(firsts_.size() + 1, 0);
    for (uint32_t group : site_group) ++begins_[group + 1];
    for (size_t g = 0; g < firsts_.size(); ++g) begins_[g + 1] += begins_[g];
    ordered_.resize(sites.size());
    std::vector<size_t> next(begins_.begin(), begins_.end() - 1);
    for (size_t i = 0; i < sites.size(); ++i) ordered_[next[site_group[i]]++] = i;
  }

  const std::string& ModuleUri(int32_t module) {
    auto [uri, added] = uris_.try_emplace(module);
    if (added) uri->second = view_.ModuleUri(module);
    return uri->second;
  }

  // The caller's item, as CrossPrepareCallHierarchy makes it for a method.
  void Caller(const Edge& edge) {
    const EdgeSpan span = SpanOf(configuration_, edge);
    if (edge.from.named_caller != kNone) {
      const NamedCaller& caller = configuration_.named_callers[static_cast<size_t>(edge.from.named_caller)];
      text_.Raw("{\"data\":{\"module\":").Number(edge.from.module);
      text_.Raw(",\"namedCaller\":").Number(edge.from.named_caller).Raw(",\"root\":").String(view_.root);
      text_.Raw("},\"detail\":").String(std::string(EdgeKindName(edge.kind)) + " " + caller.via);
      text_.Raw(",\"kind\":").Number(kSymbolKindEvent).Raw(",\"name\":").String(caller.caller);
      text_.Raw(",\"range\":").Span(span).Raw(",\"selectionRange\":").Span(span);
      text_.Raw(",\"uri\":").String(view_.FileUri(caller.path)).Raw("}");
      return;
    }
    const std::string& module_name = configuration_.modules[static_cast<size_t>(edge.from.module)].name;
    text_.Raw("{\"data\":{\"method\":").Number(edge.from.method).Raw(",\"module\":").Number(edge.from.module);
    text_.Raw(",\"root\":").String(view_.root);
    if (edge.from.method == kNone) {
      // The module's body, shown at its first call site.
      text_.Raw("},\"detail\":\"module body\",\"kind\":").Number(kSymbolKindModule);
      text_.Raw(",\"name\":").String(module_name);
      text_.Raw(",\"range\":").Span(span).Raw(",\"selectionRange\":").Span(span);
    } else {
      const MethodInfo& method = MethodOf(configuration_, edge.from.module, edge.from.method);
      text_.Raw("},\"detail\":").String(module_name);
      text_.Raw(",\"kind\":").Number(MethodSymbolKind(method)).Raw(",\"name\":").String(ToUtf8(method.name));
      text_.Raw(",\"range\":").Range(method.header_line, 0, method.end_line + 1, 0);
      text_.Raw(",\"selectionRange\":")
          .Range(method.header_line, method.name_column, method.header_line,
                 method.name_column + static_cast<int64_t>(method.name.size()));
    }
    text_.Raw(",\"uri\":").String(ModuleUri(edge.from.module)).Raw("}");
  }

  const ConfigView& view_;
  const Configuration& configuration_;
  JsonText text_;
  std::vector<size_t> firsts_;  // each group's first site
  std::vector<size_t> begins_;  // group g's sites are ordered_[begins_[g], begins_[g + 1])
  std::vector<size_t> ordered_;
  std::unordered_map<int32_t, std::string> uris_;
};

}  // namespace

void AppendCrossIncomingCalls(const ConfigView& view, const Json& item, std::string& out) {
  const ItemPlace place = PlaceOfItem(*view.configuration, item);
  if (!place.found || place.method == kNone) {
    out += "[]";
    return;
  }
  IncomingWriter(view, out).Write(view.configuration->graph.EdgesTo(place.module, place.method));
}

Json CrossIncomingCalls(const ConfigView& view, const Json& item) {
  std::string text;
  AppendCrossIncomingCalls(view, item, text);
  return Json::parse(text);
}

}  // namespace ramulet::lsp
