#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/module_analysis.h"
#include "analysis/name_index.h"
#include "host/host.h"
#include "platform/status.h"
#include "platform/variant.h"

namespace ramulet {

// One call reference: the method called and the line it stands on.
struct CallRef {
  int32_t target;
  int32_t line;
};

// Every result of the last refresh. The public members are the stored
// values of the control's automation surface; the private tables below
// them are typed for speed but keep the same names and meaning.
class MethodTables {
 public:
  // --- public members, in declaration order ---
  std::shared_ptr<HostTextDocument> curTextDoc;
  Variant Method;      // dictionary: name -> method index
  Variant MethodNach;  // dictionary: method index -> header line
  Variant MethodKon;   // dictionary: method counter -> end line
  Variant Meth;        // dictionary, always empty
  Variant A;           // array: method names
  Variant b;           // array: header lines
  Variant c;           // array: recorded end lines, in order recorded
  Variant d;           // array: items of Meth (empty)
  Variant q;           // number of tree nodes added since the last clear
  Variant doc;         // the scanned document as a generic object
  Variant CommonScripts;

  // --- private tables, filled from a module's analysis ---
  bool analyzed = false;  // false before the first analysis
  int32_t LastMeth = -1;
  std::vector<std::u16string> MethName;
  std::vector<int32_t> MethStart;
  // End line the analysis used: the end line recorded for the method, else
  // the line before the next header, else (the last method) the module's
  // last line.
  std::vector<int32_t> MethEnd;
  // Calls[m][p - 1] is call reference p of method m (CallTarget, CallLine).
  std::vector<std::vector<CallRef>> Calls;
  // Callers[j][p - 1] is CallerList(j, p): the method of the p-th reference to j.
  std::vector<std::vector<int32_t>> Callers;

  int32_t MethodCount() const { return LastMeth + 1; }
  int32_t CallCount(int32_t m) const { return static_cast<int32_t>(Calls[m].size()); }
  int32_t CallTarget(int32_t m, int32_t p) const { return Calls[m][p - 1].target; }
  int32_t CallLine(int32_t m, int32_t p) const { return Calls[m][p - 1].line; }
  int32_t CallerCount(int32_t j) const { return static_cast<int32_t>(Callers[j].size()); }
  int32_t CallerList(int32_t j, int32_t p) const { return Callers[j][p - 1]; }

  // Index of the method named exactly `name`, -1 when there is none (also
  // before the first analysis). Equal to a linear scan where the last equal
  // name wins.
  int32_t NomMet(std::u16string_view name) const { return name_index_.Find(name); }
  // NomMet on a variant: a text looks up that name, Empty the empty name,
  // anything else finds nothing.
  int32_t NomMet(const Variant& name) const;

  // Rebuilds the name index from MethName (FillAnalyzedTables calls it).
  void IndexNames();

 private:
  NameIndex name_index_;
};

// The tables as a refresh leaves them after `analysis`, in the two steps
// the refresh takes. The dictionaries always describe the analysis: new
// dictionaries Method (name -> index), MethodNach (index -> header line),
// MethodKon (the number of headers seen when an end line was met -> that
// line: 0 for an end line above the first header, m + 1 for method m's
// recorded end line) and Meth (empty). The rest (A, b, c, d, LastMeth and
// the private tables) is rebuilt only when every header and end line was
// read (`analysis` is complete or failed in its pass over the calls);
// otherwise it still describes the module of an earlier refresh.
// q, doc, curTextDoc and CommonScripts are left alone.
Status FillMethodTables(const ModuleAnalysis& analysis, MethodTables& tables);

// Replaces Method, MethodNach, MethodKon and Meth.
Status FillMethodDictionaries(const ModuleAnalysis& analysis, MethodTables& tables);

// Sets A, b, c, d, LastMeth and the private tables (the calls and callers
// recorded, all of them unless the pass over the calls failed), and marks
// the tables analysed.
void FillAnalyzedTables(const ModuleAnalysis& analysis, MethodTables& tables);

// Whether the tables' A, b, c, d and private tables are rebuilt from
// `analysis`: every header and end line was read.
bool MethodsComplete(const ModuleAnalysis& analysis);

}  // namespace ramulet
