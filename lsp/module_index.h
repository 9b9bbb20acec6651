#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace ramulet {
class MethodTables;
struct CallTree;
}  // namespace ramulet

namespace ramulet::lsp {

enum class MethodKind { kProcedure, kFunction };

// A method of the module. Lines are 0-based; columns count UTF-16 code
// units, the name spanning [name_start, name_end) on the header line.
struct MethodSymbol {
  std::u16string name;
  MethodKind kind = MethodKind::kProcedure;
  int32_t header_line = 0;
  int32_t end_line = 0;
  int32_t end_character = 0;  // the length of the end line
  int32_t name_start = 0;
  int32_t name_end = 0;
};

// One call of a method of the module: the name spans [start, end) on `line`.
struct CallSite {
  int32_t caller = 0;
  int32_t callee = 0;
  int32_t line = 0;
  int32_t start = 0;
  int32_t end = 0;
};

// A second header of a name already declared, which stops the analysis.
struct DuplicateMethod {
  std::u16string name;
  int32_t line = 0;
  int32_t first_line = 0;  // -1 when not known
  // The name on the duplicate header: [name_start, name_end).
  int32_t name_start = 0;
  int32_t name_end = 0;
};

// The nodes of a document's call tree, read-only: indices from 1 in order
// of addition, 0 for "none".
class CallTreeNodes {
 public:
  explicit CallTreeNodes(const CallTree& tree) : tree_(tree) {}
  int32_t Count() const;
  bool Truncated() const;
  int32_t FirstRoot() const;
  // The top-level node of the method named exactly `name`, 0 when none.
  int32_t FindRoot(std::u16string_view name) const;
  int32_t FirstChild(int32_t node) const;
  int32_t NextSibling(int32_t node) const;
  int32_t Parent(int32_t node) const;
  int32_t Method(int32_t node) const;

 private:
  const CallTree& tree_;
};

// Everything the server answers from, for one version of one document:
// built once by the module analysis (the same refresh and call analysis
// the panel runs), then indexed so that every answer costs time in
// proportion to what it returns. The call tree is built on first use.
class ModuleIndex {
 public:
  // Analyses `lines` (the module's lines without a trailing empty one),
  // which need to live only as long as the constructor runs. Never fails:
  // a failed analysis leaves status() and what was recorded.
  explicit ModuleIndex(std::span<const std::u16string_view> lines);
  ~ModuleIndex();
  ModuleIndex(const ModuleIndex&) = delete;
  ModuleIndex& operator=(const ModuleIndex&) = delete;

  const Status& status() const { return status_; }
  const std::optional<DuplicateMethod>& duplicate() const { return duplicate_; }
  int32_t line_count() const { return line_count_; }

  const std::vector<MethodSymbol>& methods() const { return methods_; }
  // Index of the method named exactly `name`, -1 when there is none.
  int32_t Find(std::u16string_view name) const;
  // Every call site, in source order.
  const std::vector<CallSite>& calls() const { return calls_; }
  // Call sites in method `m`, in source order.
  std::span<const CallSite> CallsFrom(int32_t m) const;
  // Indices into calls() of the calls of method `m`, in source order.
  const std::vector<int32_t>& CallsTo(int32_t m) const;

  // The method whose header name covers the position, -1 when none.
  int32_t HeaderNameAt(int32_t line, int32_t character) const;
  // The call whose name covers the position, nullptr when none.
  const CallSite* CallAt(int32_t line, int32_t character) const;

  // The panel's call tree; builds it on first use. Fails when the analysis
  // failed or the tree cannot be built.
  Status Tree(std::optional<CallTreeNodes>& nodes);

 private:
  void IndexMethods(std::span<const std::u16string_view> lines);
  void IndexRecordedMethods(std::span<const std::u16string_view> lines);
  Status IndexCalls(std::span<const std::u16string_view> lines);

  std::unique_ptr<MethodTables> tables_;
  std::unique_ptr<CallTree> tree_;
  Status tree_status_;
  bool tree_built_ = false;
  Status status_;
  std::optional<DuplicateMethod> duplicate_;
  int32_t line_count_ = 0;
  std::vector<MethodSymbol> methods_;
  std::vector<CallSite> calls_;
  std::vector<size_t> calls_from_;  // method m's calls are [calls_from_[m], calls_from_[m + 1])
  std::vector<std::vector<int32_t>> calls_to_;
};

}  // namespace ramulet::lsp
