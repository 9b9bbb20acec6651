#include "analysis/call_analysis.h"

#include <string>
#include <vector>

#include "analysis/keyword_search.h"
#include "analysis/patterns.h"
#include "platform/dictionary.h"
#include "platform/regexp.h"
#include "platform/text.h"

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
// LastMeth and empty. A method without a recorded end line ends just before
// the next header; the last one runs to the end of the module.
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
  const VariantArray& ends = method_kon->ItemList();
  t.MethName.assign(count, std::u16string());
  t.MethStart.assign(count, 0);
  t.MethEnd.assign(count, std::nullopt);
  t.Calls.assign(count, {});
  t.Callers.assign(count, {});
  t.analyzed = true;
  for (size_t i = 0; i < count; ++i) {
    if (i < names.size() && names[i].AsText()) t.MethName[i] = *names[i].AsText();
    t.MethStart[i] = LineOf(starts[i]);
  }
  for (size_t i = 0; i < count; ++i) {
    if (i < ends.size()) {
      t.MethEnd[i] = LineOf(ends[i]);
    } else if (i + 1 < count) {
      t.MethEnd[i] = t.MethStart[i + 1] - 1;
    }
  }
  t.IndexNames();
  return Status::Ok();
}

// The line pass: which method each line belongs to, and the call
// references found on it.
class ReferenceFinder {
 public:
  ReferenceFinder(MethodTables& tables, HostDocument& document) : t_(tables), document_(document) {
    regexp_.IgnoreCase = true;
    regexp_.Global = true;
  }

  Status Run() {
    RAMULET_RETURN_IF_ERROR(regexp_.SetPattern(patterns::kCall));
    int32_t line_count = 0;
    RAMULET_RETURN_IF_ERROR(document_.LineCount(line_count));
    if (t_.LastMeth < 0) return Status::Ok();
    for (int32_t i = 0; i < line_count; ++i) {
      if (t_.MethStart[current_] >= i) continue;
      if (LeavesCurrentMethod(i)) ++current_;
      RAMULET_RETURN_IF_ERROR(ExamineLine(i));
    }
    return Status::Ok();
  }

 private:
  bool LeavesCurrentMethod(int32_t line) const {
    const std::optional<int32_t>& end = t_.MethEnd[current_];
    return end && *end < line && current_ < t_.LastMeth;
  }

  // The names found on the first read are looked up before the second read
  // replaces it; the second read decides whether the line counts at all.
  Status ExamineLine(int32_t line) {
    std::u16string_view text;
    RAMULET_RETURN_IF_ERROR(document_.Range(line, text));
    RAMULET_RETURN_IF_ERROR(regexp_.Execute(DropLeadingSpaces(text), matches_));
    callees_.clear();
    for (const RegExpMatch& match : matches_) {
      int32_t callee = t_.NomMet(match.SubMatches[patterns::kCallNameGroup - 1].value_or(std::u16string_view()));
      if (callee >= 0) callees_.push_back(callee);
    }
    RAMULET_RETURN_IF_ERROR(document_.Range(line, text));
    if (callees_.empty() || IsExcludedLine(text)) return Status::Ok();
    for (int32_t callee : callees_) {
      t_.Calls[current_].push_back(CallRef{callee, line});
      t_.Callers[callee].push_back(current_);
    }
    return Status::Ok();
  }

  // Comments, headers and lines naming a keyword anywhere contribute nothing.
  bool IsExcludedLine(std::u16string_view text) const { return excluding_words_.FoundIn(text); }

  MethodTables& t_;
  HostDocument& document_;
  RegExp regexp_;
  std::vector<RegExpMatch> matches_;
  std::vector<int32_t> callees_;
  const KeywordSet excluding_words_{u"//", u"ПРОЦЕДУРА", u"ФУНКЦИЯ"};
  int32_t current_ = 0;
};

}  // namespace

Status AnalyzeCalls(MethodTables& tables) {
  std::shared_ptr<HostDocument> document = tables.doc.AsObjectOf<HostDocument>();
  if (!document) return Status::Error(Status::kFail, "there is no scanned document to analyse");
  RAMULET_RETURN_IF_ERROR(PrepareTables(tables));
  return ReferenceFinder(tables, *document).Run();
}

}  // namespace ramulet
