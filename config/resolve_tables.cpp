#include "config/resolve_tables.h"

#include <algorithm>

#include "analysis/language_lexer.h"
#include "config/configuration.h"
#include "config/facts_words.h"
#include "platform/text.h"

namespace ramulet {

std::u16string FoldUtf8(std::string_view text) {
  std::u16string folded = Utf8ToUtf16(text);
  for (char16_t& unit : folded) unit = language::Fold(unit);
  return folded;
}

namespace {

bool IsGlobal(const ConfigModule& module) { return module.global || module.kind == "GlobalModule"; }

// "CommonModule.N" → N; "Catalog.O.ManagerModule" → collection and O.
std::string_view AfterPrefix(std::string_view name, std::string_view prefix) {
  return name.substr(0, prefix.size()) == prefix ? name.substr(prefix.size()) : std::string_view();
}

int CollectionOfKind(std::string_view kind) {
  for (int c = 0; c < facts_words::kCollectionCount; ++c) {
    if (facts_words::CollectionKind(c) == kind) return c;
  }
  return -1;
}

}  // namespace

ResolveTables::ResolveTables(const Configuration& configuration) {
  IndexCommonAndManagers(configuration);
  IndexGlobalExports(configuration);
}

void ResolveTables::IndexCommonAndManagers(const Configuration& configuration) {
  std::vector<std::u16string> common_names, manager_keys;
  std::vector<int32_t> common_modules, manager_modules;
  for (size_t i = 0; i < configuration.modules.size(); ++i) {
    const ConfigModule& module = configuration.modules[i];
    if (module.kind == "CommonModule") {
      std::string_view name = AfterPrefix(module.name, "CommonModule.");
      if (name.empty()) name = std::string_view(module.name).substr(module.name.rfind('.') + 1);
      common_names.push_back(FoldUtf8(name));
      common_modules.push_back(static_cast<int32_t>(i));
    } else if (module.kind == "ManagerModule") {
      const std::string_view name = module.name;
      const size_t first = name.find('.');
      const size_t last = name.rfind('.');
      if (first == std::string_view::npos || last <= first) continue;
      const int collection = CollectionOfKind(name.substr(0, first));
      if (collection < 0) continue;
      manager_keys.push_back(char16_t(collection + 1) + FoldUtf8(name.substr(first + 1, last - first - 1)));
      manager_modules.push_back(static_cast<int32_t>(i));
    }
  }
  common_.Assign(common_names.size(), [&](size_t n) { return std::u16string_view(common_names[n]); });
  managers_.Assign(manager_keys.size(), [&](size_t n) { return std::u16string_view(manager_keys[n]); });
  common_modules_ = std::move(common_modules);
  manager_modules_ = std::move(manager_modules);
}

void ResolveTables::IndexGlobalExports(const Configuration& configuration) {
  struct Export {
    std::u16string name;
    MethodRef ref;
  };
  std::vector<Export> all;
  for (size_t i = 0; i < configuration.modules.size(); ++i) {
    const ConfigModule& module = configuration.modules[i];
    if (!IsGlobal(module)) continue;
    const auto& methods = module.analysis.methods;
    for (size_t m = 0; m < methods.size(); ++m) {
      if (!methods[m].exported) continue;
      std::u16string folded = methods[m].name;
      for (char16_t& unit : folded) unit = language::Fold(unit);
      all.push_back(Export{std::move(folded), MethodRef{static_cast<int32_t>(i), static_cast<int32_t>(m)}});
    }
  }
  std::stable_sort(all.begin(), all.end(), [](const Export& a, const Export& b) { return a.name < b.name; });
  std::vector<std::u16string_view> names;
  for (size_t k = 0; k < all.size(); ++k) {
    if (k == 0 || all[k].name != all[k - 1].name) {
      names.push_back(all[k].name);
      export_begin_.push_back(static_cast<uint32_t>(k));
    }
    exports_.push_back(all[k].ref);
  }
  export_begin_.push_back(static_cast<uint32_t>(exports_.size()));
  export_names_.Assign(names.size(), [&](size_t n) { return names[n]; });
}

int32_t ResolveTables::CommonModule(std::u16string_view folded) const {
  const int32_t n = common_.Find(folded);
  return n < 0 ? -1 : common_modules_[static_cast<size_t>(n)];
}

std::span<const MethodRef> ResolveTables::GlobalExports(std::u16string_view folded) const {
  const int32_t n = export_names_.Find(folded);
  if (n < 0) return {};
  const uint32_t begin = export_begin_[static_cast<size_t>(n)];
  return std::span<const MethodRef>(exports_).subspan(begin, export_begin_[static_cast<size_t>(n) + 1] - begin);
}

int32_t ResolveTables::ManagerModule(int collection, std::u16string_view folded_object) const {
  // The key on the stack for the usual lengths: the tables are shared by
  // the threads of a resolution and hold no scratch space.
  char16_t buffer[128];
  std::u16string longer;
  std::u16string_view key;
  if (folded_object.size() + 1 <= std::size(buffer)) {
    buffer[0] = char16_t(collection + 1);
    std::copy(folded_object.begin(), folded_object.end(), buffer + 1);
    key = std::u16string_view(buffer, folded_object.size() + 1);
  } else {
    longer.assign(1, char16_t(collection + 1));
    longer += folded_object;
    key = longer;
  }
  const int32_t n = managers_.Find(key);
  return n < 0 ? -1 : manager_modules_[static_cast<size_t>(n)];
}

}  // namespace ramulet
