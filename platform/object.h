#pragma once

namespace ramulet {

// Base of everything a Variant can hold by reference: dictionaries, host
// documents, tree nodes. Lifetime is shared (std::shared_ptr), like the
// reference counts of automation objects.
class Object {
 public:
  virtual ~Object() = default;
};

}  // namespace ramulet
