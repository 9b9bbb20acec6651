#include "panel/method_tables.h"

#include <memory>
#include <utility>

#include "platform/dictionary.h"

namespace ramulet {

void MethodTables::IndexNames() { name_index_.Assign(MethName); }

int32_t MethodTables::NomMet(const Variant& name) const {
  if (name.IsEmpty()) return NomMet(std::u16string_view());
  const std::u16string* text = name.AsText();
  return text ? NomMet(std::u16string_view(*text)) : -1;
}

bool MethodsComplete(const ModuleAnalysis& analysis) { return analysis.ok() || analysis.error->methods_complete; }

namespace {

// MethodKon in the order its end lines were met: the one above the first
// header, then each recorded end line under its method's number plus one.
Status AddEndLines(const ModuleAnalysis& analysis, Dictionary& method_kon) {
  if (analysis.leading_end_line >= 0) {
    RAMULET_RETURN_IF_ERROR(method_kon.Add(Variant::Int32(0), Variant::Int32(analysis.leading_end_line)));
  }
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    const MethodInfo& method = analysis.methods[static_cast<size_t>(m)];
    if (!method.end_recorded) continue;
    RAMULET_RETURN_IF_ERROR(method_kon.Add(Variant::Int32(m + 1), Variant::Int32(method.end_line)));
  }
  return Status::Ok();
}

}  // namespace

// The dictionaries are put in place before they are filled: after a failure
// to fill them they hold what was added.
Status FillMethodDictionaries(const ModuleAnalysis& analysis, MethodTables& tables) {
  auto method = std::make_shared<Dictionary>();
  auto method_nach = std::make_shared<Dictionary>();
  auto method_kon = std::make_shared<Dictionary>();
  tables.Method = Variant::Object(method);
  tables.MethodNach = Variant::Object(method_nach);
  tables.MethodKon = Variant::Object(method_kon);
  tables.Meth = Variant::Object(std::make_shared<Dictionary>());
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    const MethodInfo& info = analysis.methods[static_cast<size_t>(m)];
    RAMULET_RETURN_IF_ERROR(method->Add(Variant::Text(info.name), Variant::Int32(m)));
    RAMULET_RETURN_IF_ERROR(method_nach->Add(Variant::Int32(m), Variant::Int32(info.header_line)));
  }
  return AddEndLines(analysis, *method_kon);
}

namespace {

// When the pass over the calls could not even count the lines, no end line
// had been worked out yet: every method's stays 0, as it always has.
bool EndLinesAssigned(const ModuleAnalysis& analysis) {
  return analysis.ok() || !analysis.error->methods_complete || analysis.error->line >= 0;
}

void FillCalls(const ModuleAnalysis& analysis, MethodTables& t) {
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    std::vector<CallRef>& calls = t.Calls[static_cast<size_t>(m)];
    for (const MethodCall& call : analysis.CallsFrom(m)) calls.push_back(CallRef{call.callee, call.line});
    std::vector<int32_t>& callers = t.Callers[static_cast<size_t>(m)];
    for (int32_t call : analysis.CallsTo(m)) callers.push_back(analysis.CallerOf(call));
  }
}

}  // namespace

void FillAnalyzedTables(const ModuleAnalysis& analysis, MethodTables& t) {
  const auto count = static_cast<size_t>(analysis.MethodCount());
  VariantArray names, headers, ends;
  names.reserve(count);
  headers.reserve(count);
  if (analysis.leading_end_line >= 0) ends.push_back(Variant::Int32(analysis.leading_end_line));
  t.LastMeth = analysis.MethodCount() - 1;
  t.MethName.assign(count, std::u16string());
  t.MethStart.assign(count, 0);
  t.MethEnd.assign(count, 0);
  t.Calls.assign(count, {});
  t.Callers.assign(count, {});
  const bool ends_assigned = EndLinesAssigned(analysis);
  for (size_t m = 0; m < count; ++m) {
    const MethodInfo& method = analysis.methods[m];
    names.push_back(Variant::Text(method.name));
    headers.push_back(Variant::Int32(method.header_line));
    if (method.end_recorded) ends.push_back(Variant::Int32(method.end_line));
    t.MethName[m] = method.name;
    t.MethStart[m] = method.header_line;
    if (ends_assigned) t.MethEnd[m] = method.end_line;
  }
  t.A = Variant::Array(std::move(names));
  t.b = Variant::Array(std::move(headers));
  t.c = Variant::Array(std::move(ends));
  t.d = Variant::Array({});
  FillCalls(analysis, t);
  t.analyzed = true;
  t.IndexNames();
}

Status FillMethodTables(const ModuleAnalysis& analysis, MethodTables& tables) {
  RAMULET_RETURN_IF_ERROR(FillMethodDictionaries(analysis, tables));
  if (MethodsComplete(analysis)) FillAnalyzedTables(analysis, tables);
  return Status::Ok();
}

}  // namespace ramulet
