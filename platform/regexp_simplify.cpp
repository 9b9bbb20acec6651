#include <utility>

#include "platform/regexp_syntax.h"

namespace ramulet {

namespace {

using Kind = SyntaxNode::Kind;

// Deeper factoring is skipped; it only saves work, it changes no match.
constexpr int kMaxFactoringDepth = 32;

// The items of a branch as a sequence.
std::vector<SyntaxNode>& Items(SyntaxNode& branch) {
  if (branch.kind != Kind::kConcat) {
    SyntaxNode single = std::move(branch);
    branch = SyntaxNode();
    branch.kind = Kind::kConcat;
    branch.children.push_back(std::move(single));
  }
  return branch.children;
}

const SyntaxNode* LeadingUnits(const SyntaxNode& branch) {
  const SyntaxNode* first = branch.kind == Kind::kConcat ? &branch.children.front() : &branch;
  return first->kind == Kind::kUnits ? first : nullptr;
}

// How many leading unit tests branches [begin, end) all share.
size_t CommonPrefix(std::vector<SyntaxNode>& branches, size_t begin, size_t end) {
  const std::vector<SyntaxNode>& first = Items(branches[begin]);
  size_t length = first.size();
  for (size_t b = begin + 1; b < end; ++b) {
    const std::vector<SyntaxNode>& items = Items(branches[b]);
    size_t same = 0;
    while (same < length && same < items.size() && items[same].kind == Kind::kUnits &&
           first[same].kind == Kind::kUnits && items[same].units == first[same].units) {
      ++same;
    }
    length = same;
  }
  return length;
}

SyntaxNode Sequence(std::vector<SyntaxNode> items) {
  if (items.size() == 1) return std::move(items.front());
  SyntaxNode node;
  if (!items.empty()) {
    node.kind = Kind::kConcat;
    node.children = std::move(items);
  }
  return node;
}

void FactorAlternate(SyntaxNode& node, int depth);

// Branches [begin, end) that start alike become prefix (rest | rest ...).
// The order of trials is unchanged: the prefix reads the same units
// whichever branch is tried.
SyntaxNode FactorRun(std::vector<SyntaxNode>& branches, size_t begin, size_t end, int depth) {
  const size_t length = CommonPrefix(branches, begin, end);
  std::vector<SyntaxNode>& first = branches[begin].children;
  std::vector<SyntaxNode> prefix(std::make_move_iterator(first.begin()),
                                 std::make_move_iterator(first.begin() + length));
  SyntaxNode rests;
  rests.kind = Kind::kAlternate;
  for (size_t b = begin; b < end; ++b) {
    std::vector<SyntaxNode>& items = branches[b].children;
    rests.children.push_back(Sequence(std::vector<SyntaxNode>(std::make_move_iterator(items.begin() + length),
                                                              std::make_move_iterator(items.end()))));
  }
  FactorAlternate(rests, depth + 1);
  prefix.push_back(std::move(rests));
  return Sequence(std::move(prefix));
}

void FactorAlternate(SyntaxNode& node, int depth) {
  if (depth > kMaxFactoringDepth) return;
  std::vector<SyntaxNode>& branches = node.children;
  std::vector<SyntaxNode> result;
  for (size_t begin = 0; begin < branches.size();) {
    const SyntaxNode* lead = LeadingUnits(branches[begin]);
    size_t end = begin + 1;
    while (lead && end < branches.size() && LeadingUnits(branches[end]) &&
           LeadingUnits(branches[end])->units == lead->units) {
      ++end;
    }
    if (end - begin > 1) {
      result.push_back(FactorRun(branches, begin, end, depth));
    } else {
      result.push_back(std::move(branches[begin]));
    }
    begin = end;
  }
  if (result.size() == 1) {
    node = std::move(result.front());
  } else {
    branches = std::move(result);
  }
}

}  // namespace

void FactorCommonPrefixes(SyntaxNode& node) {
  for (SyntaxNode& child : node.children) FactorCommonPrefixes(child);
  if (node.kind == Kind::kAlternate) FactorAlternate(node, 0);
}

}  // namespace ramulet
