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

// Groups calls (numbered as the index numbers them) by the method on the
// other side, in order of each one's first call, every call's range kept up
// to kMaxFromRanges a group; a group that holds more says how many ranges
// it left out.
template <typename CallNumbers, typename OtherSide>
Json GroupCalls(const OpenDocument& document, const CallNumbers& calls, OtherSide other, const char* side) {
  struct Group {
    int32_t method;
    Json ranges = Json::array();
    int64_t omitted = 0;
  };
  std::vector<Group> groups;
  std::unordered_map<int32_t, size_t> group_of;
  for (int32_t number : calls) {
    const CallSite call = document.index->Call(number);
    const int32_t method = other(call);
    auto [found, added] = group_of.try_emplace(method, groups.size());
    if (added) groups.push_back(Group{method});
    Group& group = groups[found->second];
    if (group.ranges.size() < kMaxFromRanges) {
      group.ranges.push_back(CallRange(call));
    } else {
      ++group.omitted;
    }
  }
  Json answer = Json::array();
  for (Group& group : groups) {
    Json item{{side, Item(document, group.method)}, {"fromRanges", std::move(group.ranges)}};
    if (group.omitted > 0) item["fromRangesOmitted"] = group.omitted;
    answer.push_back(std::move(item));
  }
  return answer;
}

// The numbers first .. first + count - 1, as a range to iterate.
struct CallNumbers {
  struct Iterator {
    int32_t number;
    int32_t operator*() const { return number; }
    Iterator& operator++() {
      ++number;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return number != other.number; }
  };
  ModuleIndex::CallSpan span;
  Iterator begin() const { return Iterator{span.first}; }
  Iterator end() const { return Iterator{span.first + span.count}; }
};

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
  return GroupCalls(document, CallNumbers{document.index->CallsFrom(method)},
                    [](const CallSite& call) { return call.callee; }, "to");
}

Json IncomingCalls(Workspace& workspace, const Json& item) {
  OpenDocument& document = ItemDocument(workspace, item);
  int32_t method = ItemMethod(document, item);
  if (method < 0) return Json::array();
  return GroupCalls(document, document.index->CallsTo(method), [](const CallSite& call) { return call.caller; },
                    "from");
}

}  // namespace ramulet::lsp
