#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/call_graph.h"
#include "config/module_facts.h"
#include "config/resolve_tables.h"
#include "config/resolve_texts.h"

namespace ramulet {

class Configuration;
struct ConfigModule;

// Turns one module's calls (the analysis' in-module calls and the facts'
// references) and the named callers into edges, in text order for a module.
class ModuleResolver {
 public:
  ModuleResolver(const Configuration& configuration, const ResolveTables& tables, ResolveTexts& texts);

  // Appends the edges and unresolved references made in module `module`,
  // ordered by line and column.
  void ResolveModule(int32_t module, std::vector<Edge>& edges, std::vector<Unresolved>& unresolved);
  // Appends those of named caller `index`, whose caller is module
  // `caller_module` (-1 for a caller that is no module).
  void ResolveNamedCaller(int32_t index, int32_t caller_module, std::vector<Edge>& edges,
                          std::vector<Unresolved>& unresolved);

 private:
  void AddInModuleCalls(int32_t module);
  void AddReference(const ModuleFacts::Reference& reference);
  void AddBindingCall(const ModuleFacts::Reference& reference, EdgeKind exported_kind);
  const ModuleFacts::Binding* ValidBinding(const ModuleFacts::Reference& reference) const;
  void AddMemberEdge(const ModuleFacts::Reference& reference, int32_t to_module, EdgeKind exported_kind);
  void AddByName(const ModuleFacts::Reference& reference, int32_t to_module, bool any_method, int32_t missing_text);
  void AddGlobalEdges(const ModuleFacts::Reference& reference, EdgeKind kind, int32_t via);
  void AddEdge(const ModuleFacts::Reference& reference, int32_t to_module, int32_t to_method, EdgeKind kind,
               int32_t via, int32_t target = kNone);
  void AddUnresolved(const ModuleFacts::Reference& reference, UnresolvedKind kind, int32_t text);
  int32_t Text(int32_t name);  // a name of the facts as written, in the graph's texts
  int32_t FindMethod(int32_t module, std::u16string_view folded) const;
  // Look-ups by a name of the facts, each made once per module and name.
  int32_t CommonModuleNamed(int32_t name);
  std::span<const MethodRef> GlobalExportsNamed(int32_t name);

  const Configuration& configuration_;
  const ResolveTables& tables_;
  ResolveTexts& texts_;
  bool old_platform_ = false;

  // The module being resolved.
  int32_t module_ = kNone;
  const ModuleFacts* facts_ = nullptr;
  bool form_module_ = false;
  std::vector<int32_t> text_of_name_;  // by name of facts_, -1 until met
  std::vector<int32_t> common_of_name_;  // by `same` of facts_, kUnknown until looked up
  std::vector<std::span<const MethodRef>> globals_of_name_;
  std::vector<uint8_t> globals_known_;
  std::vector<Edge> edges_;
  std::vector<Unresolved> unresolved_;
  int32_t string_text_ = kNone;
};

}  // namespace ramulet
