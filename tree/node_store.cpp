#include "tree/node_store.h"

#include <new>

#include "platform/text.h"

namespace ramulet {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

void NodeStore::Reset(const std::vector<std::u16string>* names) {
  Clear();
  names_ = names;
}

void NodeStore::Clear() {
  count_ = 0;
  roots_.clear();
  dollar_roots_ = 0;
  first_root_ = last_root_ = kNoNode;
  tail_parent_ = tail_child_ = kNoNode;
}

void NodeStore::ReleaseUnused() {
  blocks_.resize((static_cast<size_t>(count_) + kBlockSize - 1) / kBlockSize);
  blocks_.shrink_to_fit();
}

Status NodeStore::CheckMethod(int32_t method) const {
  if (HasName(method)) return Status::Ok();
  return Status::Error(Status::kOutOfRange, "Tree node: method " + std::to_string(method) + " has no name");
}

Status NodeStore::Grow() {
  if (count_ == kMaxCount) {
    return Status::Error(Status::kOutOfRange, "Tree node: the tree holds as many nodes as it can number");
  }
  std::unique_ptr<Node[]> block(new (std::nothrow) Node[kBlockSize]);
  if (!block) return Status::Error(Status::kOutOfMemory, "Tree node: out of memory for more nodes");
  blocks_.push_back(std::move(block));
  return Status::Ok();
}

int32_t NodeStore::Append(int32_t parent, int32_t method) {
  int32_t index = ++count_;
  At(index) = Node{parent, method, kNoNode, kNoNode};
  return index;
}

Status NodeStore::AddRoot(int32_t method, int32_t& index) {
  RAMULET_RETURN_IF_ERROR(CheckMethod(method));
  std::u16string_view name = (*names_)[method];
  if (roots_.count(name) != 0 || FindChildKey(name) != kNoNode) {
    return Status::Error(Status::kDuplicateKey, "Tree node: the key \"" + Utf16ToUtf8(name) + "\" is already taken");
  }
  if (!HasRoom()) RAMULET_RETURN_IF_ERROR(Grow());
  index = Append(kNoNode, method);
  roots_.emplace(name, index);
  if (name.size() > 2 && name[0] == u'$') ++dollar_roots_;
  if (last_root_ == kNoNode) {
    first_root_ = index;
  } else {
    At(last_root_).next_sibling = index;
  }
  last_root_ = index;
  return Status::Ok();
}

Status NodeStore::AddChild(int32_t parent, int32_t method, int32_t& index) {
  if (!Valid(parent)) {
    return Status::Error(Status::kOutOfRange, "Tree node: there is no node " + std::to_string(parent) + " to add to");
  }
  if (!HasName(method)) return CheckMethod(method);
  if (dollar_roots_ > 0 && count_ < kMaxCount && roots_.count(ChildKey(count_ + 1)) != 0) {
    return Status::Error(Status::kDuplicateKey,
                         "Tree node: the key \"" + Utf16ToUtf8(ChildKey(count_ + 1)) + "\" is already taken");
  }
  if (!HasRoom()) RAMULET_RETURN_IF_ERROR(Grow());
  index = Append(parent, method);
  LinkChild(parent, index);
  return Status::Ok();
}

void NodeStore::LinkChild(int32_t parent, int32_t child) {
  Node& node = At(parent);
  if (tail_parent_ == parent) {
    At(tail_child_).next_sibling = child;
  } else if (node.first_child == kNoNode) {
    node.first_child = child;
  } else {
    int32_t last = node.first_child;
    while (At(last).next_sibling != kNoNode) last = At(last).next_sibling;
    At(last).next_sibling = child;
  }
  tail_parent_ = parent;
  tail_child_ = child;
}

int32_t NodeStore::FindChildKey(std::u16string_view key) const {
  // Exactly "$ " and a decimal number without leading zeros.
  constexpr size_t kMaxDigits = 10;
  if (key.size() < 3 || key.size() > 2 + kMaxDigits || key[0] != u'$' || key[1] != u' ' || key[2] == u'0') {
    return kNoNode;
  }
  int64_t number = 0;
  for (char16_t c : key.substr(2)) {
    if (!IsDigit(c)) return kNoNode;
    number = number * 10 + (c - u'0');
  }
  if (number > count_) return kNoNode;
  int32_t index = static_cast<int32_t>(number);
  return At(index).parent != kNoNode ? index : kNoNode;
}

int32_t NodeStore::Find(std::u16string_view key) const {
  int32_t child = FindChildKey(key);
  if (child != kNoNode) return child;
  auto it = roots_.find(key);
  return it == roots_.end() ? kNoNode : it->second;
}

std::u16string_view NodeStore::Text(int32_t index) const {
  return Valid(index) ? std::u16string_view((*names_)[At(index).method]) : std::u16string_view();
}

std::u16string NodeStore::Key(int32_t index) const {
  if (!Valid(index)) return std::u16string();
  return Parent(index) == kNoNode ? std::u16string(Text(index)) : ChildKey(index);
}

int32_t NodeStore::FirstChild(int32_t index) const { return Valid(index) ? At(index).first_child : kNoNode; }

int32_t NodeStore::NextSibling(int32_t index) const { return Valid(index) ? At(index).next_sibling : kNoNode; }

std::u16string NodeStore::ChildKey(int32_t number) {
  // The number as text with its sign position: a space when not negative.
  std::string digits = std::to_string(number);
  if (number >= 0) digits.insert(digits.begin(), ' ');
  std::u16string key = u"$";
  key.append(digits.begin(), digits.end());
  return key;
}

size_t NodeStore::MemoryBytes() const {
  // Root entries: an estimate of a node-based hash map's nodes and buckets.
  constexpr size_t kRootEntryBytes = sizeof(std::pair<const std::u16string_view, int32_t>) + 2 * sizeof(void*);
  return blocks_.size() * size_t{kBlockSize} * sizeof(Node) + blocks_.capacity() * sizeof(blocks_[0]) +
         roots_.size() * kRootEntryBytes + roots_.bucket_count() * sizeof(void*);
}

}  // namespace ramulet
