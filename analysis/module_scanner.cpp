#include "analysis/module_scanner.h"

#include <string>
#include <vector>

#include "analysis/call_analysis.h"
#include "analysis/keyword_search.h"
#include "analysis/patterns.h"
#include "platform/dictionary.h"
#include "platform/regexp.h"
#include "platform/text.h"
#include "host/host_configurator.h"

namespace ramulet {

namespace {

constexpr char16_t kTitle[] = u"Рамулет";
constexpr char16_t kLargeModuleQuestion[] =
    u"В модуле более 10000 строк, обработка может занять продолжительное время!\r\nПродолжить?";
constexpr char16_t kForwardMark[] = u"ДАЛЕЕ";

Status HostGaveNothing(const std::string& what) {
  return Status::Error(Status::kHostError, "the host returned no " + what);
}

// Steps 1 and 2: the window set's active window, asked for twice, and its
// document. `window` stays null when no window is active.
Status FindActiveDocument(std::shared_ptr<HostWindow>& window, std::shared_ptr<HostDocument>& document) {
  for (int round = 0; round < 2 && (round == 0 || window); ++round) {
    std::shared_ptr<Configurator> configurator;
    RAMULET_RETURN_IF_ERROR(HostConfigurator::Acquire(configurator));
    std::shared_ptr<HostWindowSet> windows;
    RAMULET_RETURN_IF_ERROR(configurator->Windows(windows));
    if (!windows) return HostGaveNothing("window set");
    RAMULET_RETURN_IF_ERROR(windows->ActiveWindow(window));
  }
  if (!window) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(window->Document(document));
  if (!document) return HostGaveNothing("document for the active window");
  return Status::Ok();
}

// Step 3: a document made of pages is replaced by its active page.
Status OpenActivePage(std::shared_ptr<HostDocument>& document) {
  int32_t kind = 0;
  RAMULET_RETURN_IF_ERROR(document->Kind(kind));
  if (kind != HostDocument::kPagedKind) return Status::Ok();
  Variant active;
  RAMULET_RETURN_IF_ERROR(document->ActivePage(active));
  std::shared_ptr<HostDocument> page;
  RAMULET_RETURN_IF_ERROR(document->Page(active, page));
  if (!page) return HostGaveNothing("page for the active page");
  document = std::move(page);
  return Status::Ok();
}

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
  LineScanner(HostTextDocument& document, MethodList& modul, Dictionaries& dictionaries, RefreshReport& report)
      : document_(document), modul_(modul), dictionaries_(dictionaries), report_(report) {
    for (RegExp* regexp : {&header_, &end_}) {
      regexp->IgnoreCase = true;
      regexp->Global = true;
    }
  }

  Status Run() {
    RAMULET_RETURN_IF_ERROR(header_.SetPattern(patterns::kHeader));
    RAMULET_RETURN_IF_ERROR(end_.SetPattern(patterns::kEnd));
    int32_t line_count = 0;
    RAMULET_RETURN_IF_ERROR(document_.LineCount(line_count));
    for (int32_t i = 0; i < line_count; ++i) {
      // Both patterns are applied to the first read before the second read
      // replaces it; a header's name is kept as a copy.
      std::u16string_view text;
      RAMULET_RETURN_IF_ERROR(document_.Range(i, text));
      std::u16string_view trimmed = DropLeadingSpaces(text);
      bool header = false, end = false;
      RAMULET_RETURN_IF_ERROR(MatchHeader(trimmed, header));
      RAMULET_RETURN_IF_ERROR(end_.Execute(trimmed, matches_));
      end = !matches_.empty();
      RAMULET_RETURN_IF_ERROR(document_.Range(i, text));
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
    if (!added.ok()) return Duplicate(name_, line, added);
    RAMULET_RETURN_IF_ERROR(dictionaries_.method_nach->Add(Variant::Int32(counter_), Variant::Int32(line)));
    RAMULET_RETURN_IF_ERROR(modul_.Append(name_));
    ++counter_;
    return Status::Ok();
  }

  // Only the first end line after each header is recorded.
  Status RecordEnd(int32_t line) {
    if (dictionaries_.method_kon->Exists(Variant::Int32(counter_))) return Status::Ok();
    return dictionaries_.method_kon->Add(Variant::Int32(counter_), Variant::Int32(line));
  }

  Status Duplicate(const std::u16string& name, int32_t line, const Status& cause) {
    if (cause.code() != Status::kDuplicateKey) return cause;
    report_.duplicate_name = name;
    report_.duplicate_line = line;
    return Status::Error(Status::kDuplicateKey, "Процедура или функция «" + Utf16ToUtf8(name) +
                                                    "» объявлена повторно в строке " + std::to_string(line + 1));
  }

  HostTextDocument& document_;
  MethodList& modul_;
  Dictionaries& dictionaries_;
  RefreshReport& report_;
  // One object per pattern: switching one object's pattern twice a line
  // costs a lookup each time, and the answers are the same.
  RegExp header_;
  RegExp end_;
  std::vector<RegExpMatch> matches_;
  std::u16string name_;
  const KeywordSet forward_mark_{kForwardMark};
  int32_t counter_ = 0;
};

// Steps 4 to 12 on the document found: ask about large modules, switch to
// the text view, rebuild the dictionaries and `modul` from its lines.
Status ScanTextModule(MethodTables& tables, std::shared_ptr<HostDocument> document, MethodList& modul,
                      MessageBoxes& boxes, RefreshReport& report) {
  int32_t kind = 0;
  RAMULET_RETURN_IF_ERROR(document->Kind(kind));
  if (kind != HostDocument::kTextModuleKind) {
    report.outcome = RefreshReport::Outcome::NotTextModule;
    return Status::Ok();
  }
  int32_t line_count = 0;
  RAMULET_RETURN_IF_ERROR(document->LineCount(line_count));
  if (line_count >= kLargeModuleLines &&
      boxes.Show(kLargeModuleQuestion, kTitle, MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::Question) ==
          MessageBoxes::Answer::No) {
    report.outcome = RefreshReport::Outcome::Declined;
    return Status::Ok();
  }
  std::shared_ptr<HostTextDocument> view;
  RAMULET_RETURN_IF_ERROR(document->TextDocument(view));
  if (!view) return HostGaveNothing("text document view");
  tables.curTextDoc = view;
  RAMULET_RETURN_IF_ERROR(modul.Clear());
  tables.doc = Variant::Object(view);
  Dictionaries dictionaries;
  tables.Method = Variant::Object(dictionaries.method);
  tables.MethodNach = Variant::Object(dictionaries.method_nach);
  tables.MethodKon = Variant::Object(dictionaries.method_kon);
  tables.Meth = Variant::Object(dictionaries.meth);
  return LineScanner(*view, modul, dictionaries, report).Run();
}

}  // namespace

Status Refresh(MethodTables& tables, MethodList& modul, MessageBoxes& boxes, const TreeStep& build_tree,
               RefreshReport* report) {
  RefreshReport local;
  RefreshReport& outcome = report ? *report : local;
  outcome = RefreshReport();

  std::shared_ptr<HostWindow> window;
  std::shared_ptr<HostDocument> document;
  RAMULET_RETURN_IF_ERROR(FindActiveDocument(window, document));
  if (!window) {
    outcome.outcome = RefreshReport::Outcome::NoActiveWindow;
    return Status::Ok();
  }
  tables.doc = Variant::Object(document);
  RAMULET_RETURN_IF_ERROR(OpenActivePage(document));
  tables.doc = Variant::Object(document);
  RAMULET_RETURN_IF_ERROR(ScanTextModule(tables, document, modul, boxes, outcome));
  bool stopped_quietly = outcome.outcome == RefreshReport::Outcome::NotTextModule ||
                         outcome.outcome == RefreshReport::Outcome::Declined;
  if (stopped_quietly) return Status::Ok();

  RAMULET_RETURN_IF_ERROR(AnalyzeCalls(tables));
  if (build_tree) RAMULET_RETURN_IF_ERROR(build_tree(tables));
  outcome.outcome = RefreshReport::Outcome::Completed;
  return Status::Ok();
}

}  // namespace ramulet
