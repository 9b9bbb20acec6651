#include "config/resolve_module.h"

#include <algorithm>

#include "config/configuration.h"
#include "platform/text.h"

namespace ramulet {

using Kind = ModuleFacts::Kind;

ModuleResolver::ModuleResolver(const Configuration& configuration, const ResolveTables& tables, ResolveTexts& texts)
    : configuration_(configuration),
      tables_(tables),
      texts_(texts),
      old_platform_(IsOldPlatform(configuration.layout)),
      string_text_(texts.Add(std::string_view("string"))) {}

int32_t ModuleResolver::FindMethod(int32_t module, std::u16string_view folded) const {
  return configuration_.modules[static_cast<size_t>(module)].analysis.FindFolded(folded);
}

namespace {
constexpr int32_t kUnknown = -2;
}  // namespace

int32_t ModuleResolver::CommonModuleNamed(int32_t name) {
  const auto same = static_cast<size_t>(facts_->names[static_cast<size_t>(name)].same);
  int32_t& module = common_of_name_[same];
  if (module == kUnknown) module = tables_.CommonModule(facts_->Folded(name));
  return module;
}

std::span<const MethodRef> ModuleResolver::GlobalExportsNamed(int32_t name) {
  const auto same = static_cast<size_t>(facts_->names[static_cast<size_t>(name)].same);
  if (!globals_known_[same]) {
    globals_of_name_[same] = tables_.GlobalExports(facts_->Folded(name));
    globals_known_[same] = 1;
  }
  return globals_of_name_[same];
}

int32_t ModuleResolver::Text(int32_t name) {
  if (name < 0) return kNone;
  int32_t& text = text_of_name_[static_cast<size_t>(name)];
  if (text < 0) text = texts_.Add(facts_->Written(name));
  return text;
}

void ModuleResolver::ResolveModule(int32_t module, std::vector<Edge>& edges, std::vector<Unresolved>& unresolved) {
  const ConfigModule& m = configuration_.modules[static_cast<size_t>(module)];
  if (!m.error.ok() || m.external_text) return;  // a module that failed calls nothing
  module_ = module;
  facts_ = &m.facts;
  form_module_ = m.kind == "FormModule";
  text_of_name_.assign(facts_->names.size(), -1);
  common_of_name_.assign(facts_->names.size(), kUnknown);
  globals_of_name_.resize(facts_->names.size());
  globals_known_.assign(facts_->names.size(), 0);
  edges_.clear();
  unresolved_.clear();
  AddInModuleCalls(module);
  for (const ModuleFacts::Reference& reference : facts_->references) AddReference(reference);
  auto by_place = [](const auto& a, const auto& b) {
    return a.from.line != b.from.line ? a.from.line < b.from.line : a.from.column < b.from.column;
  };
  std::stable_sort(edges_.begin(), edges_.end(), by_place);
  std::stable_sort(unresolved_.begin(), unresolved_.end(), by_place);
  edges.insert(edges.end(), edges_.begin(), edges_.end());
  unresolved.insert(unresolved.end(), unresolved_.begin(), unresolved_.end());
}

void ModuleResolver::AddInModuleCalls(int32_t module) {
  const ModuleAnalysis& analysis = configuration_.modules[static_cast<size_t>(module)].analysis;
  auto add = [&](int32_t caller, const MethodCall& call) {
    Edge edge;
    edge.from = CallSite{module, caller, kNone, call.line, call.column};
    edge.to_module = module;
    edge.to_method = call.callee;
    edge.kind = EdgeKind::kInModule;
    edges_.push_back(edge);
  };
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    for (const MethodCall& call : analysis.CallsFrom(m)) add(m, call);
  }
  for (const MethodCall& call : analysis.body_calls) add(kNone, call);
}

void ModuleResolver::AddEdge(const ModuleFacts::Reference& reference, int32_t to_module, int32_t to_method,
                             EdgeKind kind, int32_t via, int32_t target) {
  Edge edge;
  edge.from = CallSite{module_, reference.method, kNone, reference.line, reference.column};
  edge.to_module = to_module;
  edge.to_method = to_method;
  edge.kind = kind;
  edge.via = via;
  edge.target = target;
  edges_.push_back(edge);
}

void ModuleResolver::AddUnresolved(const ModuleFacts::Reference& reference, UnresolvedKind kind, int32_t text) {
  Unresolved entry;
  entry.from = CallSite{module_, reference.method, kNone, reference.line, reference.column};
  entry.kind = kind;
  entry.text = text;
  unresolved_.push_back(entry);
}

void ModuleResolver::AddGlobalEdges(const ModuleFacts::Reference& reference, EdgeKind kind, int32_t via) {
  const auto exports = GlobalExportsNamed(reference.name);
  if (kind == EdgeKind::kGlobal && exports.size() > 1) kind = EdgeKind::kAmbiguous;
  for (const MethodRef& target : exports) AddEdge(reference, target.module, target.method, kind, via);
}

// `to_module`'s method named by the reference: exported (`exported_kind`),
// there but not exported, or not there.
void ModuleResolver::AddMemberEdge(const ModuleFacts::Reference& reference, int32_t to_module,
                                   EdgeKind exported_kind) {
  const int32_t method = FindMethod(to_module, facts_->Folded(reference.name));
  const int32_t via = Text(reference.via);
  if (method < 0) {
    AddEdge(reference, to_module, kNone, EdgeKind::kUnknownMember, via, Text(reference.name));
    return;
  }
  const bool exported = configuration_.modules[static_cast<size_t>(to_module)].analysis.methods[static_cast<size_t>(method)].exported;
  AddEdge(reference, to_module, method, exported ? exported_kind : EdgeKind::kInaccessible, via);
}

// The last binding above the call in its method that goes through a common
// module (or through none); when the method binds the name nowhere above
// the call, a module variable's last such binding in the body.
const ModuleFacts::Binding* ModuleResolver::ValidBinding(const ModuleFacts::Reference& reference) const {
  const int32_t start = reference.binding >= 0 ? reference.binding : reference.fallback;
  for (int32_t b = start; b >= 0; b = facts_->bindings[static_cast<size_t>(b)].previous) {
    const ModuleFacts::Binding& binding = facts_->bindings[static_cast<size_t>(b)];
    if (binding.accessor == ModuleFacts::kNoName) return &binding;
    if (binding.accessor >= 0 && tables_.CommonModule(facts_->Folded(binding.accessor)) >= 0) return &binding;
  }
  return nullptr;
}

void ModuleResolver::AddBindingCall(const ModuleFacts::Reference& reference, EdgeKind exported_kind) {
  const ModuleFacts::Binding* binding = ValidBinding(reference);
  if (binding == nullptr) return;
  int32_t target = kNone;
  if (binding->collection >= 0) {
    target = tables_.ManagerModule(binding->collection, facts_->Folded(binding->object));
    exported_kind = EdgeKind::kManager;
  } else {
    target = CommonModuleNamed(binding->module);
  }
  if (target < 0) {
    AddEdge(reference, kNone, kNone, EdgeKind::kAbsentModule, Text(reference.via), Text(binding->module));
    return;
  }
  AddMemberEdge(reference, target, exported_kind);
}

// A method named in a string: any method of the module when `any_method`,
// else an exported one; a missing one is reported.
void ModuleResolver::AddByName(const ModuleFacts::Reference& reference, int32_t to_module, bool any_method,
                               int32_t missing_text) {
  const int32_t method = FindMethod(to_module, facts_->Folded(reference.name));
  const auto& methods = configuration_.modules[static_cast<size_t>(to_module)].analysis.methods;
  if (method >= 0 && (any_method || methods[static_cast<size_t>(method)].exported)) {
    AddEdge(reference, to_module, method, EdgeKind::kByName, Text(reference.via));
  } else {
    AddUnresolved(reference, UnresolvedKind::kMissingHandler, missing_text);
  }
}

void ModuleResolver::AddReference(const ModuleFacts::Reference& reference) {
  if (old_platform_ && reference.kind != Kind::kBare && reference.kind != Kind::kDynamic) return;
  switch (reference.kind) {
    case Kind::kBare:
      AddGlobalEdges(reference, EdgeKind::kGlobal, kNone);
      break;
    case Kind::kMember: {
      const int32_t common = CommonModuleNamed(reference.receiver);
      if (common >= 0) AddMemberEdge(reference, common, EdgeKind::kCommon);
      break;
    }
    case Kind::kBound:
    case Kind::kAccessor:
      AddBindingCall(reference, EdgeKind::kCommonVar);
      break;
    case Kind::kManager: {
      const int32_t manager = tables_.ManagerModule(reference.collection, facts_->Folded(reference.object));
      if (manager < 0) break;
      const int32_t method = FindMethod(manager, facts_->Folded(reference.name));
      const auto& methods = configuration_.modules[static_cast<size_t>(manager)].analysis.methods;
      if (method >= 0 && methods[static_cast<size_t>(method)].exported)
        AddEdge(reference, manager, method, EdgeKind::kManager, Text(reference.via));
      break;
    }
    case Kind::kNotifyOwn:
      AddByName(reference, module_, true, Text(reference.name));
      break;
    case Kind::kNotifyModule: {
      const int32_t common = CommonModuleNamed(reference.receiver);
      if (common < 0) break;
      std::u16string text(facts_->Written(reference.receiver));
      text += u'.';
      text += facts_->Written(reference.name);
      AddByName(reference, common, false, texts_.Add(text));
      break;
    }
    case Kind::kIdleHandler:
      if (form_module_) {
        AddByName(reference, module_, true, Text(reference.name));
      } else if (GlobalExportsNamed(reference.name).empty()) {
        AddUnresolved(reference, UnresolvedKind::kMissingHandler, Text(reference.name));
      } else {
        AddGlobalEdges(reference, EdgeKind::kByName, Text(reference.via));
      }
      break;
    case Kind::kString: {
      const int32_t common = CommonModuleNamed(reference.receiver);
      if (common < 0) break;
      const int32_t method = FindMethod(common, facts_->Folded(reference.name));
      const auto& methods = configuration_.modules[static_cast<size_t>(common)].analysis.methods;
      if (method >= 0 && methods[static_cast<size_t>(method)].exported)
        AddEdge(reference, common, method, EdgeKind::kByName, string_text_);
      break;
    }
    case Kind::kDynamic:
      AddUnresolved(reference, UnresolvedKind::kDynamic, Text(reference.name));
      break;
  }
}

}  // namespace ramulet
