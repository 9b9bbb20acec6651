#include "tree/tree_test_support.h"

#include <functional>
#include <map>
#include <random>

#include "platform/text.h"

namespace ramulet {

namespace {

// The analysis of methods named `names`, where method m calls `calls[m]`.
ModuleAnalysis AnalysisOf(std::vector<std::u16string> names, const std::vector<std::vector<int32_t>>& calls) {
  ModuleAnalysis analysis;
  for (size_t m = 0; m < names.size(); ++m) {
    MethodInfo method;
    method.name = std::move(names[m]);
    method.header_line = static_cast<int32_t>(m);
    method.end_line = static_cast<int32_t>(m);
    analysis.methods.push_back(std::move(method));
  }
  analysis.line_count = static_cast<int32_t>(analysis.methods.size());
  analysis.IndexNames();
  for (size_t m = 0; m < calls.size(); ++m) {
    analysis.BeginCallsOf(static_cast<int32_t>(m));
    for (int32_t callee : calls[m]) analysis.AddCall(MethodCall{callee, static_cast<int32_t>(m), 0});
  }
  analysis.FinishCalls();
  return analysis;
}

}  // namespace

ModuleAnalysis MakeAnalysis(const ModuleCalls& module) {
  std::vector<std::u16string> names;
  std::map<std::string, int32_t> index;
  for (size_t m = 0; m < module.size(); ++m) {
    names.push_back(U16(module[m].first));
    index[module[m].first] = static_cast<int32_t>(m);
  }
  std::vector<std::vector<int32_t>> calls(module.size());
  for (size_t m = 0; m < module.size(); ++m) {
    for (const std::string& callee : module[m].second) calls[m].push_back(index.at(callee));
  }
  return AnalysisOf(std::move(names), calls);
}

ModuleAnalysis RandomAnalysis(uint32_t seed, int32_t methods, int32_t max_calls) {
  std::vector<std::u16string> names;
  std::vector<std::vector<int32_t>> calls(static_cast<size_t>(methods));
  std::mt19937 random(seed);
  for (int32_t m = 0; m < methods; ++m) names.push_back(U16("M" + std::to_string(m)));
  for (int32_t m = 0; m < methods; ++m) {
    int32_t count = std::uniform_int_distribution<int32_t>(0, max_calls)(random);
    for (int32_t k = 0; k < count; ++k) {
      calls[m].push_back(std::uniform_int_distribution<int32_t>(0, methods - 1)(random));
    }
  }
  return AnalysisOf(std::move(names), calls);
}

// The call lists are closed by beginning those of the method after the last
// rather than by FinishCalls, which indexes the calls by called method and
// so needs every callee to exist.
ModuleAnalysis AnalysisWithCallee(int32_t methods, int32_t callee) {
  ModuleAnalysis analysis;
  for (int32_t m = 0; m < methods; ++m) {
    MethodInfo method;
    method.name = U16(std::string(1, static_cast<char>('A' + m)));
    method.header_line = m;
    analysis.methods.push_back(std::move(method));
  }
  analysis.IndexNames();
  analysis.BeginCallsOf(0);
  analysis.AddCall(MethodCall{callee, 0, 0});
  analysis.BeginCallsOf(methods);
  return analysis;
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
  explicit ReferenceBuilder(const ModuleAnalysis& analysis) : analysis_(analysis) {}

  std::vector<ReferenceNode> Build() {
    std::vector<std::string> level_key;
    std::vector<int32_t> level_meth;
    for (int32_t i = 0; i < analysis_.MethodCount(); ++i) {
      root_count_++;
      Add(0, Utf16ToUtf8(Name(i)), i);
      level_key.push_back(Utf16ToUtf8(Name(i)));
      level_meth.push_back(i);
    }
    for (int depth = 0; depth < kMaxTreeDepth && !level_key.empty(); ++depth) {
      std::vector<std::string> next_key;
      std::vector<int32_t> next_meth;
      for (size_t j = 0; j < level_key.size(); ++j) {
        for (const MethodCall& call : analysis_.CallsFrom(level_meth[j])) {
          int32_t parent = by_key_.at(level_key[j]);
          if (OnPath(parent, Name(call.callee))) continue;
          std::string key = "$ " + std::to_string(nodes_.size() + 1);
          Add(parent, key, call.callee);
          next_key.push_back(key);
          next_meth.push_back(call.callee);
        }
      }
      level_key = std::move(next_key);
      level_meth = std::move(next_meth);
    }
    return nodes_;
  }

 private:
  const std::u16string& Name(int32_t method) const { return analysis_.methods[static_cast<size_t>(method)].name; }

  void Add(int32_t parent, const std::string& key, int32_t method) {
    nodes_.push_back(ReferenceNode{parent, method});
    by_key_[key] = static_cast<int32_t>(nodes_.size());
  }

  bool OnPath(int32_t node, const std::u16string& name) const {
    bool found = false;
    for (;;) {
      if (Name(nodes_[node - 1].method) == name) found = true;
      if (node <= root_count_) return found;
      node = nodes_[node - 1].parent;
    }
  }

  const ModuleAnalysis& analysis_;
  std::vector<ReferenceNode> nodes_;
  std::map<std::string, int32_t> by_key_;
  int32_t root_count_ = 0;
};

}  // namespace

std::vector<ReferenceNode> ReferenceBuild(const ModuleAnalysis& analysis) {
  return ReferenceBuilder(analysis).Build();
}

Variant NodeVariant(const std::shared_ptr<const CallTree>& tree, int32_t index) {
  return Variant::Object(std::make_shared<TreeNode>(tree, index));
}

}  // namespace ramulet
