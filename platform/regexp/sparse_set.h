#pragma once

#include <cstdint>
#include <vector>

namespace ramulet {

// A set of small integers below a fixed bound with constant-time insert,
// lookup and clear, remembering the order of insertion.
class SparseSet {
 public:
  explicit SparseSet(size_t bound = 0) : sparse_(bound, 0) { dense_.reserve(bound); }

  bool contains(uint32_t value) const {
    const uint32_t index = sparse_[value];
    return index < dense_.size() && dense_[index] == value;
  }
  // Returns the position of the new element.
  size_t insert(uint32_t value) {
    sparse_[value] = static_cast<uint32_t>(dense_.size());
    dense_.push_back(value);
    return dense_.size() - 1;
  }
  void clear() { dense_.clear(); }
  size_t size() const { return dense_.size(); }
  bool empty() const { return dense_.empty(); }
  uint32_t operator[](size_t index) const { return dense_[index]; }

 private:
  std::vector<uint32_t> sparse_;
  std::vector<uint32_t> dense_;
};

}  // namespace ramulet
