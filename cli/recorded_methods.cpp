#include "cli/recorded_methods.h"

#include "platform/dictionary.h"

namespace ramulet {

std::vector<RecordedMethod> RecordedMethods(const MethodTables& tables) {
  std::vector<RecordedMethod> methods;
  auto names = tables.Method.AsObjectOf<Dictionary>();
  auto headers = tables.MethodNach.AsObjectOf<Dictionary>();
  if (!names) return methods;
  const auto& keys = names->KeyList();
  const auto& items = names->ItemList();
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::u16string* name = keys[i].AsText();
    std::optional<int32_t> index = items[i].ToInt32();
    const Variant* header = headers ? headers->Find(items[i]) : nullptr;
    std::optional<int32_t> line = header ? header->ToInt32() : std::nullopt;
    // A method whose header line was not recorded is left out rather than
    // shown at a made-up line.
    if (name == nullptr || !index || !line) continue;
    methods.push_back({*index, *name, *line});
  }
  return methods;
}

}  // namespace ramulet
