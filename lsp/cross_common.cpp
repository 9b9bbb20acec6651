#include "lsp/cross_common.h"

#include "lsp/features.h"
#include "lsp/reference_lookup.h"

namespace ramulet::lsp {

namespace {

Json Position(int64_t line, int64_t character) {
  Json position = NewObject();
  Members(position).emplace("line", line);
  Members(position).emplace("character", character);
  return position;
}

int32_t DataNumber(const Json& data, const char* name) {
  auto member = data.find(name);
  if (member == data.end() || !member->is_number_integer()) return kNone;
  return member->get<int32_t>();
}

}  // namespace

Json Range(int64_t start_line, int64_t start_character, int64_t end_line, int64_t end_character) {
  Json range = NewObject();
  Members(range).emplace("start", Position(start_line, start_character));
  Members(range).emplace("end", Position(end_line, end_character));
  return range;
}

Json Location(std::string uri, Json range) {
  Json location = NewObject();
  Members(location).emplace("uri", std::move(uri));
  Members(location).emplace("range", std::move(range));
  return location;
}

const MethodInfo& MethodOf(const Configuration& configuration, int32_t module, int32_t method) {
  return configuration.modules[static_cast<size_t>(module)].analysis.methods[static_cast<size_t>(method)];
}

bool ValidMethod(const Configuration& configuration, int32_t module, int32_t method) {
  return module >= 0 && static_cast<size_t>(module) < configuration.modules.size() && method >= 0 &&
         method < configuration.modules[static_cast<size_t>(module)].analysis.MethodCount();
}

int MethodSymbolKind(const MethodInfo& method) {
  return method.kind == MethodKind::kFunction ? kSymbolKindFunction : kSymbolKindMethod;
}

Json HeaderNameRange(const MethodInfo& method) {
  return Range(method.header_line, method.name_column, method.header_line,
               method.name_column + static_cast<int64_t>(method.name.size()));
}

Json WholeRange(const MethodInfo& method) { return Range(method.header_line, 0, method.end_line + 1, 0); }

Json MethodLocation(const ConfigView& view, int32_t module, int32_t method) {
  return Location(view.ModuleUri(module), HeaderNameRange(MethodOf(*view.configuration, module, method)));
}

std::string EdgeUri(const ConfigView& view, const Edge& edge) {
  if (edge.from.named_caller != kNone) {
    return view.FileUri(view.configuration->named_callers[static_cast<size_t>(edge.from.named_caller)].path);
  }
  return view.ModuleUri(edge.from.module);
}

EdgeSpan SpanOf(const Configuration& configuration, const Edge& edge) {
  int64_t length = CallSiteLength(configuration, edge);
  if (edge.from.named_caller != kNone) {
    length = static_cast<int64_t>(
        ToUtf16(configuration.named_callers[static_cast<size_t>(edge.from.named_caller)].method).size());
  }
  return {edge.from.line, edge.from.column, edge.from.column + length};
}

Json EdgeRange(const Configuration& configuration, const Edge& edge) {
  const EdgeSpan span = SpanOf(configuration, edge);
  return Range(span.line, span.start, span.line, span.end);
}

Json EdgeLocation(const ConfigView& view, const Edge& edge) {
  return Location(EdgeUri(view, edge), EdgeRange(*view.configuration, edge));
}

ItemPlace PlaceOfItem(const Configuration& configuration, const Json& item) {
  auto data = item.find("data");
  if (data == item.end() || !data->is_object() || data->contains("namedCaller")) return {};
  ItemPlace place{DataNumber(*data, "module"), DataNumber(*data, "method"), false};
  if (place.module < 0 || static_cast<size_t>(place.module) >= configuration.modules.size()) return {};
  if (place.method == kNone) {
    place.found = true;
    return place;
  }
  const std::u16string name = ToUtf16(StringMember(item, "name"));
  const ModuleAnalysis& analysis = configuration.modules[static_cast<size_t>(place.module)].analysis;
  if (!ValidMethod(configuration, place.module, place.method) ||
      analysis.methods[static_cast<size_t>(place.method)].name != name) {
    place.method = analysis.Find(name);
  }
  place.found = place.method >= 0;
  return place;
}

}  // namespace ramulet::lsp
