#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

// What a call site (or a name outside the code) reaches, and how.
enum class EdgeKind : uint8_t {
  kInModule,       // a method of the caller's own module
  kGlobal,         // a bare call of a global module's export
  kAmbiguous,      // a bare call exported by two global modules (one edge to each)
  kCommon,         // CommonModule.Method( of an exported method
  kInaccessible,   // CommonModule.Method( of a method that is not exported
  kUnknownMember,  // CommonModule.Method( of a method the module does not have
  kCommonVar,      // a variable bound by ОбщийМодуль("N"), then V.Method(
  kAbsentModule,   // ОбщийМодуль("N") of a module that is not in the configuration
  kManager,        // Catalogs.Object.Method( of the manager module's export
  kByName,         // a method named in a string: a notification, an idle handler, "N.P"
  kMetadata,       // a scheduled job, an event subscription, a form event or command
  kDialog,         // a formula of an old-platform dialog
};
inline constexpr size_t kEdgeKindCount = 12;

// References that reach no method.
enum class UnresolvedKind : uint8_t {
  kDynamic,         // Выполнить( / Вычислить( and their English names
  kMissingHandler,  // a by-name or metadata reference to a method that is not there
};
inline constexpr size_t kUnresolvedKindCount = 2;

// "in-module", "global", ... as the outputs write them.
const char* EdgeKindName(EdgeKind kind);
const char* UnresolvedKindName(UnresolvedKind kind);

inline constexpr int32_t kNone = -1;

// Where a reference stands: a method of a module, the module's body
// (method kNone), or a caller that is no module (module kNone, the
// NamedCaller numbered `named_caller`, at its line and column).
struct CallSite {
  int32_t module = kNone;
  int32_t method = kNone;
  int32_t named_caller = kNone;
  int32_t line = 0;
  int32_t column = 0;  // characters
};

struct Edge {
  CallSite from;
  int32_t to_module = kNone;  // kNone for absent-module
  int32_t to_method = kNone;  // kNone for unknown-member and absent-module
  EdgeKind kind = EdgeKind::kInModule;
  // Indices into CallGraph::texts, kNone for none: `via` as the outputs
  // show it (the receiver as written, the by-name function, "string", the
  // metadata kind or event, the formula); `target` the module or method
  // named when it is not there (absent-module's N, unknown-member's name).
  int32_t via = kNone;
  int32_t target = kNone;
};

struct Unresolved {
  CallSite from;
  UnresolvedKind kind = UnresolvedKind::kDynamic;
  int32_t text = kNone;  // what was written: the dynamic function, the missing handler's name
};

// Every reference of a configuration. Edges are in the order of the
// calling modules, then of their lines and columns; a module's metadata and
// dialog callers after its calls; callers that are no module last, by name.
class CallGraph {
 public:
  std::vector<Edge> edges;
  std::vector<Unresolved> unresolved;
  std::vector<std::string> texts;  // UTF-8

  // Adds `text` to `texts` (once: equal texts share an index).
  int32_t Intern(std::string_view text);
  std::string_view Text(int32_t index) const { return index < 0 ? std::string_view() : texts[index]; }

  std::array<size_t, kEdgeKindCount> EdgeCounts() const;
  std::array<size_t, kUnresolvedKindCount> UnresolvedCounts() const;

  // Builds the index of edges by callee; call after the edges are final.
  void IndexCallees(size_t module_count);
  // Indices into `edges` of the edges reaching method `method` of module
  // `module` (kNone: references to the module itself), in edge order.
  std::span<const int32_t> EdgesTo(int32_t module, int32_t method) const;
  // The edges whose caller is module `module` (its calls, then its
  // metadata and dialog callers), or kNone for callers that are no module.
  std::span<const Edge> EdgesFrom(int32_t module) const;

 private:
  std::vector<std::pair<std::string, int32_t>> interned_;  // sorted
  std::vector<int32_t> by_callee_;
  std::vector<uint64_t> callee_keys_;  // (module, method) of by_callee_, sorted
  // Module m's edges are edges[from_begin_[m], from_begin_[m + 1]); those of
  // callers that are no module follow the last module's.
  std::vector<size_t> from_begin_;
};

}  // namespace ramulet
