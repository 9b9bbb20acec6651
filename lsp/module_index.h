#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "platform/line_source.h"
#include "platform/status.h"

namespace ramulet {
struct CallTree;
}  // namespace ramulet

namespace ramulet::lsp {

using ramulet::MethodKind;

// A method of the module as the server shows it. Lines are 0-based;
// columns count UTF-16 code units, the name spanning [name_start, name_end)
// on the header line. The name is a view of the index's analysis.
struct MethodSymbol {
  std::u16string_view name;
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

// Everything the server answers from, for one version of one document: the
// module analysis (the one the panel and the command line run), with
// position look-ups over it. Call sites are read from the analysis as they
// are asked for, so a call costs the analysis' few bytes and nothing more.
// The call tree is built on first use.
class ModuleIndex {
 public:
  // Analyses `lines` (the module's lines without a trailing empty one),
  // which need to live only as long as the constructor runs. Never fails:
  // a failed analysis leaves status() and what was recorded.
  ModuleIndex(const ModuleAnalyzer& analyzer, LineSource& lines, RuleSet rules = RuleSet::kPanel);
  ~ModuleIndex();
  ModuleIndex(const ModuleIndex&) = delete;
  ModuleIndex& operator=(const ModuleIndex&) = delete;

  const Status& status() const { return status_; }
  const std::optional<DuplicateMethod>& duplicate() const { return duplicate_; }
  int32_t line_count() const { return analysis_.line_count; }
  const ModuleAnalysis& analysis() const { return analysis_; }

  const std::vector<MethodSymbol>& methods() const { return methods_; }
  // Index of the method named exactly `name`, -1 when there is none.
  int32_t Find(std::u16string_view name) const { return analysis_.Find(name); }
  // Calls are numbered in text order, from 0 to CallCount() - 1.
  int32_t CallCount() const { return static_cast<int32_t>(analysis_.calls().size()); }
  CallSite Call(int32_t call) const;
  // The calls made by method `m`: [first, first + count).
  struct CallSpan {
    int32_t first = 0;
    int32_t count = 0;
  };
  CallSpan CallsFrom(int32_t m) const;
  // The numbers of the calls of method `m`, in text order.
  std::span<const int32_t> CallsTo(int32_t m) const { return analysis_.CallsTo(m); }

  // The method whose header name covers the position, -1 when none.
  int32_t HeaderNameAt(int32_t line, int32_t character) const;
  // The call whose name covers the position.
  std::optional<CallSite> CallAt(int32_t line, int32_t character) const;

  // The panel's call tree; builds it on first use. Fails when the analysis
  // failed or the tree cannot be built.
  Status Tree(std::optional<CallTreeNodes>& nodes);

 private:
  void IndexMethods(LineSource& lines);
  void NoteDuplicate();

  ModuleAnalysis analysis_;
  Status status_;
  std::optional<DuplicateMethod> duplicate_;
  std::vector<MethodSymbol> methods_;
  std::unique_ptr<CallTree> tree_;
  Status tree_status_;
  bool tree_built_ = false;
};

}  // namespace ramulet::lsp
