#include <memory>
#include <string>
#include <vector>

#include "analysis/keyword_search.h"
#include "analysis/line_analysis.h"
#include "analysis/line_filters.h"
#include "analysis/patterns.h"
#include "platform/dictionary.h"
#include "platform/regexp/regexp.h"
#include "platform/text.h"

namespace ramulet {

namespace {

constexpr char16_t kForwardMark[] = u"ДАЛЕЕ";

struct Dictionaries {
  std::shared_ptr<Dictionary> method = std::make_shared<Dictionary>();
  std::shared_ptr<Dictionary> method_nach = std::make_shared<Dictionary>();
  std::shared_ptr<Dictionary> method_kon = std::make_shared<Dictionary>();
  std::shared_ptr<Dictionary> meth = std::make_shared<Dictionary>();
};

// The line loop: records headers and end lines; a repeated method name
// ends it with an error naming the method and its line.
class LineScanner {
 public:
  LineScanner(LineSource& lines, Dictionaries& dictionaries, std::optional<DuplicateMethod>* duplicate)
      : lines_(lines), dictionaries_(dictionaries), duplicate_(duplicate) {
    for (RegExp* regexp : {&header_, &end_}) {
      regexp->IgnoreCase = true;
      regexp->Global = true;
    }
  }

  Status Run() {
    RAMULET_RETURN_IF_ERROR(header_.SetPattern(patterns::kHeader));
    RAMULET_RETURN_IF_ERROR(end_.SetPattern(patterns::kEnd));
    int32_t line_count = 0;
    RAMULET_RETURN_IF_ERROR(lines_.LineCount(line_count));
    for (int32_t i = 0; i < line_count; ++i) {
      // One read serves every test of the line (the patterns look at the
      // text without its leading spaces, the forward mark at the whole
      // line). Reading it again would give the same text: the refresh runs
      // to its end on the host's one thread without yielding, and nothing
      // reaches the document between the tests.
      std::u16string_view text;
      RAMULET_RETURN_IF_ERROR(lines_.Range(i, text));
      std::u16string_view trimmed = DropLeadingSpaces(text);
      bool header = false, end = false;
      if (MayBeHeader(trimmed)) RAMULET_RETURN_IF_ERROR(MatchHeader(trimmed, header));
      if (MayBeEnd(trimmed)) {
        RAMULET_RETURN_IF_ERROR(end_.Execute(trimmed, matches_));
        end = !matches_.empty();
      }
      if (header && !forward_mark_.FoundIn(text)) RAMULET_RETURN_IF_ERROR(RecordHeader(i));
      if (end) RAMULET_RETURN_IF_ERROR(RecordEnd(i));
    }
    return Status::Ok();
  }

 private:
  Status MatchHeader(std::u16string_view trimmed, bool& header) {
    RAMULET_RETURN_IF_ERROR(header_.Execute(trimmed, matches_));
    header = !matches_.empty();
    if (header) name_.assign(matches_[0].SubMatches[patterns::kHeaderNameGroup - 1].value_or(std::u16string_view()));
    return Status::Ok();
  }

  Status RecordHeader(int32_t line) {
    Status added = dictionaries_.method->Add(Variant::Text(name_), Variant::Int32(counter_));
    if (!added.ok()) return Duplicate(line, added);
    RAMULET_RETURN_IF_ERROR(dictionaries_.method_nach->Add(Variant::Int32(counter_), Variant::Int32(line)));
    ++counter_;
    return Status::Ok();
  }

  // Only the first end line after each header is recorded, under the number
  // of headers seen so far.
  Status RecordEnd(int32_t line) {
    if (dictionaries_.method_kon->Exists(Variant::Int32(counter_))) return Status::Ok();
    return dictionaries_.method_kon->Add(Variant::Int32(counter_), Variant::Int32(line));
  }

  Status Duplicate(int32_t line, const Status& cause) {
    if (cause.code() != Status::kDuplicateKey) return cause;
    if (duplicate_) *duplicate_ = DuplicateMethod{name_, line};
    return Status::Error(Status::kDuplicateKey, "Процедура или функция «" + Utf16ToUtf8(name_) +
                                                    "» объявлена повторно в строке " + std::to_string(line + 1));
  }

  LineSource& lines_;
  Dictionaries& dictionaries_;
  std::optional<DuplicateMethod>* duplicate_;
  // One object per pattern: switching one object's pattern twice a line
  // costs a lookup each time, and the answers are the same.
  RegExp header_;
  RegExp end_;
  std::vector<RegExpMatch> matches_;
  std::u16string name_;
  const KeywordSet forward_mark_{kForwardMark};
  int32_t counter_ = 0;
};

}  // namespace

Status ScanLines(LineSource& lines, MethodTables& tables, std::optional<DuplicateMethod>* duplicate) {
  if (duplicate) duplicate->reset();
  Dictionaries dictionaries;
  tables.Method = Variant::Object(dictionaries.method);
  tables.MethodNach = Variant::Object(dictionaries.method_nach);
  tables.MethodKon = Variant::Object(dictionaries.method_kon);
  tables.Meth = Variant::Object(dictionaries.meth);
  return LineScanner(lines, dictionaries, duplicate).Run();
}

Status AnalyzeLines(LineSource& lines, MethodTables& tables, std::optional<DuplicateMethod>* duplicate) {
  RAMULET_RETURN_IF_ERROR(ScanLines(lines, tables, duplicate));
  return FindCallReferences(lines, tables);
}

}  // namespace ramulet
