#include "lsp/features.h"

namespace ramulet::lsp {

namespace {

inline constexpr int64_t kDefaultPageSize = 1000;
inline constexpr int64_t kMaxPageSize = 100000;

// A walk over the tree's nodes in pre-order (each node, then its children),
// from one top-level node or from all of them, with at most `depth` levels
// below the top level.
class PreOrderWalk {
 public:
  PreOrderWalk(const CallTreeNodes& nodes, bool one_root, std::optional<int64_t> depth)
      : nodes_(nodes), one_root_(one_root), depth_(depth) {}

  bool Expands(int32_t node, int32_t level) const {
    return (!depth_ || level < *depth_) && nodes_.FirstChild(node) != 0;
  }

  // Moves to the next node; node 0 when the walk is over.
  void Next(int32_t& node, int32_t& level) const {
    if (Expands(node, level)) {
      node = nodes_.FirstChild(node);
      ++level;
      return;
    }
    while (level > 0) {
      int32_t sibling = nodes_.NextSibling(node);
      if (sibling != 0) {
        node = sibling;
        return;
      }
      node = nodes_.Parent(node);
      --level;
    }
    // Top-level nodes are the first ones added, one after another.
    bool more = !one_root_ && node + 1 <= nodes_.Count() && nodes_.Parent(node + 1) == 0;
    node = more ? node + 1 : 0;
  }

 private:
  const CallTreeNodes& nodes_;
  bool one_root_;
  std::optional<int64_t> depth_;
};

std::optional<int64_t> OptionalCount(const Json& params, const char* name) {
  if (!params.contains(name) || params[name].is_null()) return std::nullopt;
  int64_t value = IntegerMember(params, name);
  if (value < 0) throw RpcError(error_code::kInvalidParams, std::string("'") + name + "' must not be negative");
  return value;
}

}  // namespace

Json CallTreePage(OpenDocument& document, const Json& params) {
  std::optional<std::u16string> root;
  if (params.contains("root") && !params["root"].is_null()) root = ToUtf16(StringMember(params, "root"));
  std::optional<int64_t> depth = OptionalCount(params, "depth");
  int64_t offset = OptionalCount(params, "offset").value_or(0);
  int64_t limit = OptionalCount(params, "limit").value_or(kDefaultPageSize);
  if (limit < 1 || limit > kMaxPageSize) {
    throw RpcError(error_code::kInvalidParams, "'limit' must be from 1 to " + std::to_string(kMaxPageSize));
  }

  std::optional<CallTreeNodes> nodes;
  Status built = document.index->Tree(nodes);
  if (!built.ok()) throw RpcError(error_code::kRequestFailed, built.message());
  int32_t first = nodes->FirstRoot();
  if (root) {
    first = nodes->FindRoot(*root);
    if (first == 0) throw RpcError(error_code::kInvalidParams, "no method named '" + ToUtf8(*root) + "' in the tree");
  }
  PreOrderWalk walk(*nodes, root.has_value(), depth);

  TreePageCursor& cursor = document.cursor;
  if (cursor.root != root || cursor.depth != depth) cursor = TreePageCursor{root, depth};
  if (cursor.total < 0) {
    cursor.total = 0;
    for (int32_t node = first, level = 0; node != 0; walk.Next(node, level)) ++cursor.total;
  }
  int32_t node = first, level = 0;
  int64_t position = 0;
  if (cursor.offset >= 0 && cursor.offset <= offset) {
    node = cursor.node;
    level = cursor.level;
    position = cursor.offset;
  }
  for (; node != 0 && position < offset; ++position) walk.Next(node, level);

  const std::vector<MethodSymbol>& methods = document.index->methods();
  Json page = Json::array();
  for (; node != 0 && static_cast<int64_t>(page.size()) < limit; walk.Next(node, level), ++position) {
    const MethodSymbol& method = methods[static_cast<size_t>(nodes->Method(node))];
    page.push_back(Json{{"name", ToUtf8(method.name)},
                        {"level", level},
                        {"line", method.header_line},
                        {"hasChildren", walk.Expands(node, level)}});
  }
  cursor.offset = node != 0 ? position : -1;
  cursor.node = node;
  cursor.level = level;

  Json result{{"nodeCount", nodes->Count()}, {"truncated", nodes->Truncated()}, {"total", cursor.total},
              {"offset", offset}, {"nodes", page}};
  result["next"] = node != 0 ? Json(position) : Json(nullptr);
  return result;
}

}  // namespace ramulet::lsp
