#include "panel/refresh.h"

#include <string>
#include <vector>

#include "host/host_configurator.h"
#include "platform/message_box.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// The question asked before reading a module of kLargeModuleLines lines or
// more, with that number in it.
std::u16string LargeModuleQuestion() {
  return u"В модуле более " + U16(std::to_string(kLargeModuleLines)) +
         u" строк, обработка может занять продолжительное время!\r\nПродолжить?";
}

// The message of a host that answered a call with nothing: the user sees
// it in the refresh's error box.
Status HostGaveNothing(const char* what) {
  return Status::Error(Status::kHostError, std::string("хост не вернул ") + what);
}

// The active window and its document; `window` stays null when no window is
// active. The window set is asked twice, each time through the configurator
// afresh: the first answer only decides whether there is anything to read
// (no active window ends the refresh quietly), the second is the window
// whose document is read. Hosts see this order of calls from the panel and
// the tests fix it, so it stays.
Status FindActiveDocument(std::shared_ptr<HostWindow>& window, std::shared_ptr<HostDocument>& document) {
  for (int round = 0; round < 2 && (round == 0 || window); ++round) {
    std::shared_ptr<Configurator> configurator;
    RAMULET_RETURN_IF_ERROR(HostConfigurator::Acquire(configurator));
    std::shared_ptr<HostWindowSet> windows;
    RAMULET_RETURN_IF_ERROR(configurator->Windows(windows));
    if (!windows) return HostGaveNothing("набор окон");
    RAMULET_RETURN_IF_ERROR(windows->ActiveWindow(window));
  }
  if (!window) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(window->Document(document));
  if (!document) return HostGaveNothing("документ активного окна");
  return Status::Ok();
}

// A document made of pages is replaced by its active page.
Status OpenActivePage(std::shared_ptr<HostDocument>& document) {
  int32_t kind = 0;
  RAMULET_RETURN_IF_ERROR(document->Kind(kind));
  if (kind != HostDocument::kPagedKind) return Status::Ok();
  Variant active;
  RAMULET_RETURN_IF_ERROR(document->ActivePage(active));
  std::shared_ptr<HostDocument> page;
  RAMULET_RETURN_IF_ERROR(document->Page(active, page));
  if (!page) return HostGaveNothing("активную страницу документа");
  document = std::move(page);
  return Status::Ok();
}

// `modul` lists the methods the analysis recorded, in module order; after
// an analysis that stopped with an error, those before the error.
Status ListMethods(const ModuleAnalysis& analysis, MethodList& modul) {
  for (const MethodInfo& method : analysis.methods) RAMULET_RETURN_IF_ERROR(modul.Append(method.name));
  return Status::Ok();
}

// Where the analysis leaves the refresh.
struct RefreshTarget {
  const ModuleAnalyzer& analyzer;
  ModuleAnalysis& analysis;
  MethodTables& tables;
  MethodList& modul;
};

// Fills the tables and `modul` from the analysis in the order the refresh
// has always changed them: the dictionaries, `modul`, then the rest of the
// tables unless the headers and end lines could not all be read (they then
// still describe the module of an earlier refresh). The analysis's own
// error comes first, then that of the list.
Status TakeAnalysis(RefreshTarget& target, const Status& analyzed) {
  Status filled = FillMethodDictionaries(target.analysis, target.tables);
  Status listed = ListMethods(target.analysis, target.modul);
  if (!MethodsComplete(target.analysis)) return analyzed;
  RAMULET_RETURN_IF_ERROR(filled);
  RAMULET_RETURN_IF_ERROR(listed);
  FillAnalyzedTables(target.analysis, target.tables);
  return analyzed;
}

// The document is a text module to be read unless it is of another kind or
// the user declines a large one; then `report` says so and nothing changes
// but `doc`. Otherwise the tables take the text view, and the analysis,
// the tables and `modul` are rebuilt from its lines.
Status AnalyzeTextModule(RefreshTarget& target, std::shared_ptr<HostDocument> document, MessageBoxes& boxes,
                         RefreshReport& report) {
  int32_t kind = 0;
  RAMULET_RETURN_IF_ERROR(document->Kind(kind));
  if (kind != HostDocument::kTextModuleKind) {
    report.outcome = RefreshReport::Outcome::NotTextModule;
    return Status::Ok();
  }
  int32_t line_count = 0;
  RAMULET_RETURN_IF_ERROR(document->LineCount(line_count));
  if (line_count >= kLargeModuleLines &&
      boxes.Show(LargeModuleQuestion(), kRamuletTitle, MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::Question) ==
          MessageBoxes::Answer::No) {
    report.outcome = RefreshReport::Outcome::Declined;
    return Status::Ok();
  }
  std::shared_ptr<HostTextDocument> view;
  RAMULET_RETURN_IF_ERROR(document->TextDocument(view));
  if (!view) return HostGaveNothing("текстовое представление документа");
  target.tables.curTextDoc = view;
  RAMULET_RETURN_IF_ERROR(target.modul.Clear());
  target.tables.doc = Variant::Object(view);
  Status analyzed = target.analyzer.Analyze(*view, target.analysis);
  const std::optional<AnalysisError>& error = target.analysis.error;
  if (error && error->kind == AnalysisError::Kind::kDuplicateMethod) {
    report.duplicate_name = error->name;
    report.duplicate_line = error->line;
  }
  return TakeAnalysis(target, analyzed);
}

}  // namespace

Status Refresh(const ModuleAnalyzer& analyzer, ModuleAnalysis& analysis, MethodTables& tables, MethodList& modul,
               MessageBoxes& boxes, const TreeStep& build_tree, RefreshReport* report) {
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
  // `doc` holds the document being worked on at each moment, so that after
  // a stop it names the document the refresh got to: the window's document
  // first, then its active page when it is made of pages.
  tables.doc = Variant::Object(document);
  RAMULET_RETURN_IF_ERROR(OpenActivePage(document));
  tables.doc = Variant::Object(document);
  RefreshTarget target{analyzer, analysis, tables, modul};
  RAMULET_RETURN_IF_ERROR(AnalyzeTextModule(target, document, boxes, outcome));
  bool stopped_quietly = outcome.outcome == RefreshReport::Outcome::NotTextModule ||
                         outcome.outcome == RefreshReport::Outcome::Declined;
  if (stopped_quietly) return Status::Ok();

  if (build_tree) RAMULET_RETURN_IF_ERROR(build_tree(analysis, tables));
  outcome.outcome = RefreshReport::Outcome::Completed;
  return Status::Ok();
}

}  // namespace ramulet
