#include <unordered_map>

#include "lsp/features.h"

namespace ramulet::lsp {

namespace {

Json Item(const OpenDocument& document, int32_t m) {
  const MethodSymbol& method = document.index->methods()[static_cast<size_t>(m)];
  std::string name = ToUtf8(method.name);
  return Json{{"name", name},
              {"kind", SymbolKind(method)},
              {"uri", document.uri},
              {"range", WholeMethodRange(method)},
              {"selectionRange", NameRange(method)},
              {"data", Json{{"name", name}}}};
}

// The method an item stands for, looked up by name in the document as it
// is now (edits may have moved it since the item was made); -1 when it is
// gone.
int32_t ItemMethod(const OpenDocument& document, const Json& item) {
  std::string name;
  auto data = item.find("data");
  if (data != item.end() && data->is_object() && data->contains("name") && (*data)["name"].is_string()) {
    name = (*data)["name"].get<std::string>();
  } else {
    name = StringMember(item, "name");
  }
  return document.index->Find(ToUtf16(name));
}

// Groups calls by the method on the other side, in order of each one's
// first call, every call's range kept.
template <typename Calls, typename OtherSide>
Json GroupCalls(const OpenDocument& document, const Calls& calls, OtherSide other, const char* side) {
  Json groups = Json::array();
  std::unordered_map<int32_t, size_t> group_of;
  for (const CallSite& call : calls) {
    int32_t method = other(call);
    auto [found, added] = group_of.try_emplace(method, groups.size());
    if (added) groups.push_back(Json{{side, Item(document, method)}, {"fromRanges", Json::array()}});
    groups[found->second]["fromRanges"].push_back(CallRange(call));
  }
  return groups;
}

OpenDocument& ItemDocument(Workspace& workspace, const Json& item) {
  return workspace.Get(StringMember(item, "uri"));
}

}  // namespace

Json PrepareCallHierarchy(const OpenDocument& document, const TextPosition& position) {
  int32_t method = MethodAt(document, position);
  if (method < 0) return nullptr;
  return Json::array({Item(document, method)});
}

Json OutgoingCalls(Workspace& workspace, const Json& item) {
  OpenDocument& document = ItemDocument(workspace, item);
  int32_t method = ItemMethod(document, item);
  if (method < 0) return Json::array();
  return GroupCalls(document, document.index->CallsFrom(method), [](const CallSite& call) { return call.callee; },
                    "to");
}

Json IncomingCalls(Workspace& workspace, const Json& item) {
  OpenDocument& document = ItemDocument(workspace, item);
  int32_t method = ItemMethod(document, item);
  if (method < 0) return Json::array();
  std::vector<CallSite> calls;
  for (int32_t call : document.index->CallsTo(method)) calls.push_back(document.index->calls()[static_cast<size_t>(call)]);
  return GroupCalls(document, calls, [](const CallSite& call) { return call.caller; }, "from");
}

}  // namespace ramulet::lsp
