#include "tree/tree_test_support.h"

#include <functional>
#include <map>
#include <random>

#include "platform/text.h"

namespace ramulet {

namespace {

MethodTables EmptyAnalysedTables(int32_t methods) {
  MethodTables tables;
  tables.analyzed = true;
  tables.LastMeth = methods - 1;
  tables.MethName.resize(methods);
  tables.MethStart.assign(methods, 0);
  tables.MethEnd.assign(methods, 0);
  tables.Calls.resize(methods);
  tables.Callers.resize(methods);
  return tables;
}

void AddCall(MethodTables& tables, int32_t caller, int32_t callee) {
  tables.Calls[caller].push_back(CallRef{callee, 0});
  tables.Callers[callee].push_back(caller);
}

}  // namespace

MethodTables MakeTables(const ModuleCalls& module) {
  MethodTables tables = EmptyAnalysedTables(static_cast<int32_t>(module.size()));
  std::map<std::string, int32_t> index;
  for (size_t m = 0; m < module.size(); ++m) {
    tables.MethName[m] = U16(module[m].first);
    index[module[m].first] = static_cast<int32_t>(m);
  }
  for (size_t m = 0; m < module.size(); ++m) {
    for (const std::string& callee : module[m].second) AddCall(tables, static_cast<int32_t>(m), index.at(callee));
  }
  tables.IndexNames();
  return tables;
}

MethodTables RandomTables(uint32_t seed, int32_t methods, int32_t max_calls) {
  MethodTables tables = EmptyAnalysedTables(methods);
  std::mt19937 random(seed);
  for (int32_t m = 0; m < methods; ++m) tables.MethName[m] = U16("M" + std::to_string(m));
  for (int32_t m = 0; m < methods; ++m) {
    int32_t calls = std::uniform_int_distribution<int32_t>(0, max_calls)(random);
    for (int32_t k = 0; k < calls; ++k) {
      AddCall(tables, m, std::uniform_int_distribution<int32_t>(0, methods - 1)(random));
    }
  }
  tables.IndexNames();
  return tables;
}

std::string DumpTree(const NodeStore& nodes) {
  std::string out;
  std::function<void(int32_t, int)> dump = [&](int32_t node, int depth) {
    for (; node != NodeStore::kNoNode; node = nodes.NextSibling(node)) {
      out += std::string(2 * depth, ' ') + Utf16ToUtf8(nodes.Text(node)) + "\n";
      dump(nodes.FirstChild(node), depth + 1);
    }
  };
  dump(nodes.FirstRoot(), 0);
  return out;
}

namespace {

// Plain transcription of the builder with strings for keys and names.
class ReferenceBuilder {
 public:
  explicit ReferenceBuilder(const MethodTables& tables) : tables_(tables) {}

  std::vector<ReferenceNode> Build() {
    std::vector<std::string> level_key;
    std::vector<int32_t> level_meth;
    for (int32_t i = 0; i <= tables_.LastMeth; ++i) {
      root_count_++;
      Add(0, Utf16ToUtf8(tables_.MethName[i]), i);
      level_key.push_back(Utf16ToUtf8(tables_.MethName[i]));
      level_meth.push_back(i);
    }
    for (int depth = 0; depth < kMaxTreeDepth && !level_key.empty(); ++depth) {
      std::vector<std::string> next_key;
      std::vector<int32_t> next_meth;
      for (size_t j = 0; j < level_key.size(); ++j) {
        for (const CallRef& call : tables_.Calls[level_meth[j]]) {
          int32_t parent = by_key_.at(level_key[j]);
          if (OnPath(parent, tables_.MethName[call.target])) continue;
          std::string key = "$ " + std::to_string(nodes_.size() + 1);
          Add(parent, key, call.target);
          next_key.push_back(key);
          next_meth.push_back(call.target);
        }
      }
      level_key = std::move(next_key);
      level_meth = std::move(next_meth);
    }
    return nodes_;
  }

 private:
  void Add(int32_t parent, const std::string& key, int32_t method) {
    nodes_.push_back(ReferenceNode{parent, method});
    by_key_[key] = static_cast<int32_t>(nodes_.size());
  }

  bool OnPath(int32_t node, const std::u16string& name) const {
    bool found = false;
    for (;;) {
      if (tables_.MethName[nodes_[node - 1].method] == name) found = true;
      if (node <= root_count_) return found;
      node = nodes_[node - 1].parent;
    }
  }

  const MethodTables& tables_;
  std::vector<ReferenceNode> nodes_;
  std::map<std::string, int32_t> by_key_;
  int32_t root_count_ = 0;
};

}  // namespace

std::vector<ReferenceNode> ReferenceBuild(const MethodTables& tables) {
  if (!tables.analyzed) return {};
  return ReferenceBuilder(tables).Build();
}

Variant NodeVariant(const std::shared_ptr<const CallTree>& tree, int32_t index) {
  return Variant::Object(std::make_shared<TreeNode>(tree, index));
}

}  // namespace ramulet
