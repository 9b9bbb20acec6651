#include <optional>
#include <string>

#include "tree/call_tree.h"

namespace ramulet {

namespace {

Status NodeOf(const Variant& Node, std::shared_ptr<const TreeNode>& node) {
  node = Node.AsObjectOf<const TreeNode>();
  if (!node) return Status::Error(Status::kTypeMismatch, "RodEst: the node argument is not a node of the call tree");
  if (!node->tree() || node->generation() != node->tree()->generation) {
    return Status::Error(Status::kInvalidArgument,
                         "RodEst: the node belongs to an earlier call tree, which has been rebuilt since");
  }
  if (!node->tree()->nodes.Valid(node->index())) {
    return Status::Error(Status::kOutOfRange,
                         "RodEst: the call tree has no node " + std::to_string(node->index()));
  }
  return Status::Ok();
}

// `viv` = 1 as automation compares a value with the number 1: numbers by
// value, Empty as 0, a text by the number it holds.
bool IsOne(const Variant& viv) {
  std::optional<double> number = viv.ToNumber();
  return number && *number == 1.0;
}

}  // namespace

Status RodEst(const Variant& Node, const Variant& met, const Variant& viv, MessageBoxes& boxes, Variant& result) {
  std::shared_ptr<const TreeNode> node;
  RAMULET_RETURN_IF_ERROR(NodeOf(Node, node));
  const CallTree& tree = *node->tree();
  const bool show = IsOne(viv);
  bool found = false;
  int32_t current = node->index();
  // Every node from `Node` up to its top-level node, that one included.
  for (;;) {
    std::u16string_view text = tree.nodes.Text(current);
    if (show) boxes.Show(text, std::nullopt, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
    if (met.EqualsText(text)) found = true;
    if (current <= tree.RootCount || tree.nodes.Parent(current) == NodeStore::kNoNode) break;
    current = tree.nodes.Parent(current);
  }
  result = Variant::Int16(found ? 1 : 0);
  return Status::Ok();
}

}  // namespace ramulet
