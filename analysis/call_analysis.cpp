#include "analysis/call_analysis.h"

#include <array>
#include <string>
#include <vector>

#include "analysis/call_names.h"
#include "analysis/keyword_search.h"
#include "analysis/line_analysis.h"
#include "platform/dictionary.h"

namespace ramulet {

namespace {

Status DictionaryOf(const Variant& value, const char* name, std::shared_ptr<Dictionary>& dictionary) {
  dictionary = value.AsObjectOf<Dictionary>();
  if (!dictionary) {
    return Status::Error(Status::kFail, std::string("the dictionary ") + name + " is missing: the module was not scanned");
  }
  return Status::Ok();
}

int32_t LineOf(const Variant& value) { return value.ToInt32().value_or(0); }

// Preparation: the arrays A, b, c, d and the per-method tables, sized for
// LastMeth and empty. The end lines are set once the line count is known.
Status PrepareTables(MethodTables& t) {
  std::shared_ptr<Dictionary> method, method_nach, method_kon, meth;
  RAMULET_RETURN_IF_ERROR(DictionaryOf(t.Method, "Method", method));
  RAMULET_RETURN_IF_ERROR(DictionaryOf(t.MethodNach, "MethodNach", method_nach));
  RAMULET_RETURN_IF_ERROR(DictionaryOf(t.MethodKon, "MethodKon", method_kon));
  RAMULET_RETURN_IF_ERROR(DictionaryOf(t.Meth, "Meth", meth));
  t.A = method->Keys();
  t.b = method_nach->Items();
  t.c = method_kon->Items();
  t.d = meth->Items();
  t.LastMeth = static_cast<int32_t>(method_nach->Count()) - 1;

  const size_t count = method_nach->Count();
  const VariantArray& names = method->KeyList();
  const VariantArray& starts = method_nach->ItemList();
  t.MethName.assign(count, std::u16string());
  t.MethStart.assign(count, 0);
  t.MethEnd.assign(count, 0);
  t.Calls.assign(count, {});
  t.Callers.assign(count, {});
  t.analyzed = true;
  for (size_t i = 0; i < count; ++i) {
    if (i < names.size() && names[i].AsText()) t.MethName[i] = *names[i].AsText();
    t.MethStart[i] = LineOf(starts[i]);
  }
  t.IndexNames();
  return Status::Ok();
}

// MethodKon is keyed by the number of headers seen when the end line was
// met, so the end line under key k closes method k - 1 and one under key 0
// (above the first header) closes none. Reading its items by position
// instead would hand every later method the end line of the one before it
// as soon as one method lacks a recognised end line.
void AssignEndLines(MethodTables& t, int32_t line_count) {
  const int32_t count = t.MethodCount();
  std::vector<bool> recorded(static_cast<size_t>(count), false);
  if (auto method_kon = t.MethodKon.AsObjectOf<Dictionary>()) {
    const VariantArray& keys = method_kon->KeyList();
    const VariantArray& items = method_kon->ItemList();
    for (size_t n = 0; n < keys.size() && n < items.size(); ++n) {
      std::optional<int32_t> key = keys[n].ToInt32();
      if (!key || *key < 1 || *key > count) continue;
      t.MethEnd[*key - 1] = LineOf(items[n]);
      recorded[*key - 1] = true;
    }
  }
  for (int32_t m = 0; m < count; ++m) {
    if (recorded[m]) continue;
    t.MethEnd[m] = m + 1 < count ? t.MethStart[m + 1] - 1 : line_count - 1;
  }
}

// The line pass: which method each line belongs to, and the call
// references found on it.
class ReferenceFinder {
 public:
  ReferenceFinder(MethodTables& tables, LineSource& lines) : t_(tables), lines_(lines) {}

  Status Run() {
    int32_t line_count = 0;
    RAMULET_RETURN_IF_ERROR(lines_.LineCount(line_count));
    if (t_.LastMeth < 0) return Status::Ok();
    AssignEndLines(t_, line_count);
    for (int32_t i = 0; i < line_count; ++i) {
      if (t_.MethStart[current_] >= i) continue;
      if (LeavesCurrentMethod(i)) ++current_;
      RAMULET_RETURN_IF_ERROR(ExamineLine(i));
    }
    return Status::Ok();
  }

 private:
  bool LeavesCurrentMethod(int32_t line) const {
    // The last method keeps every line below its end line.
    return t_.MethEnd[current_] < line && current_ < t_.LastMeth;
  }

  // One read of the line serves both the calls and the keyword test: the
  // document cannot change while the pass runs (one thread, no yielding).
  // A line that names a keyword or holds "//" anywhere contributes no call.
  // That test is the dearer one, so it waits until the line is seen to
  // call a method at all; most lines call none (calls of built-in
  // functions, mostly, or no "(" at all). The methods called are gathered
  // in the same walk while they fit a small buffer; a line that holds more
  // (a line may hold millions) is walked again and its calls recorded as
  // they are found, so that none is kept beyond its own visit.
  Status ExamineLine(int32_t line) {
    std::u16string_view text;
    RAMULET_RETURN_IF_ERROR(lines_.Range(line, text));
    size_t gathered = 0;
    bool more = false;
    ForEachCallName(text, [this, &gathered, &more](std::u16string_view name) {
      const int32_t callee = t_.NomMet(name);
      if (callee < 0) return true;
      if (gathered == callees_.size()) {
        more = true;
        return false;
      }
      callees_[gathered++] = callee;
      return true;
    });
    if (gathered == 0 || IsExcludedLine(text)) return Status::Ok();
    if (!more) {
      for (size_t k = 0; k < gathered; ++k) Record(callees_[k], line);
      return Status::Ok();
    }
    ForEachCallName(text, [this, line](std::u16string_view name) {
      const int32_t callee = t_.NomMet(name);
      if (callee >= 0) Record(callee, line);
      return true;
    });
    return Status::Ok();
  }

  void Record(int32_t callee, int32_t line) {
    t_.Calls[current_].push_back(CallRef{callee, line});
    t_.Callers[callee].push_back(current_);
  }

  // Comments, headers and lines naming a keyword anywhere contribute nothing.
  bool IsExcludedLine(std::u16string_view text) const { return excluding_words_.FoundIn(text); }

  MethodTables& t_;
  LineSource& lines_;
  const KeywordSet excluding_words_{u"//", u"ПРОЦЕДУРА", u"ФУНКЦИЯ"};
  std::array<int32_t, 64> callees_;
  int32_t current_ = 0;
};

}  // namespace

Status FindCallReferences(LineSource& lines, MethodTables& tables) {
  RAMULET_RETURN_IF_ERROR(PrepareTables(tables));
  return ReferenceFinder(tables, lines).Run();
}

Status AnalyzeCalls(MethodTables& tables) {
  std::shared_ptr<HostDocument> document = tables.doc.AsObjectOf<HostDocument>();
  if (!document) return Status::Error(Status::kFail, "there is no scanned document to analyse");
  return FindCallReferences(*document, tables);
}

}  // namespace ramulet
