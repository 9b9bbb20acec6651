#include "analysis/module_scanner.h"

#include <string>
#include <vector>

#include "analysis/line_analysis.h"
#include "platform/dictionary.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "host/host_configurator.h"

namespace ramulet {

namespace {

// The question asked before reading a module of kLargeModuleLines lines or
// more, with that number in it.
std::u16string LargeModuleQuestion() {
  return u"В модуле более " + U16(std::to_string(kLargeModuleLines)) +
         u" строк, обработка может занять продолжительное время!\r\nПродолжить?";
}

Status HostGaveNothing(const std::string& what) {
  return Status::Error(Status::kHostError, "the host returned no " + what);
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
    if (!windows) return HostGaveNothing("window set");
    RAMULET_RETURN_IF_ERROR(windows->ActiveWindow(window));
  }
  if (!window) return Status::Ok();
  RAMULET_RETURN_IF_ERROR(window->Document(document));
  if (!document) return HostGaveNothing("document for the active window");
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
  if (!page) return HostGaveNothing("page for the active page");
  document = std::move(page);
  return Status::Ok();
}

// `modul` lists the methods the scan recorded, in module order; after a
// scan that stopped with an error, those before the error.
Status ListMethods(const MethodTables& tables, MethodList& modul) {
  auto method = tables.Method.AsObjectOf<Dictionary>();
  if (!method) return Status::Ok();
  for (const Variant& name : method->KeyList()) {
    if (const std::u16string* text = name.AsText()) RAMULET_RETURN_IF_ERROR(modul.Append(*text));
  }
  return Status::Ok();
}

// The document is a text module to be read unless it is of another kind or
// the user declines a large one; then `report` says so and nothing changes
// but `doc`. Otherwise the tables take the text view, `modul` and the
// dictionaries are rebuilt from its lines.
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
      boxes.Show(LargeModuleQuestion(), kRamuletTitle, MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::Question) ==
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
  std::optional<DuplicateMethod> duplicate;
  Status scanned = ScanLines(*view, tables, &duplicate);
  if (duplicate) {
    report.duplicate_name = duplicate->name;
    report.duplicate_line = duplicate->line;
  }
  Status listed = ListMethods(tables, modul);
  RAMULET_RETURN_IF_ERROR(scanned);
  return listed;
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
  // `doc` holds the document being worked on at each moment, so that after
  // a stop it names the document the refresh got to: the window's document
  // first, then its active page when it is made of pages.
  tables.doc = Variant::Object(document);
  RAMULET_RETURN_IF_ERROR(OpenActivePage(document));
  tables.doc = Variant::Object(document);
  RAMULET_RETURN_IF_ERROR(ScanTextModule(tables, document, modul, boxes, outcome));
  bool stopped_quietly = outcome.outcome == RefreshReport::Outcome::NotTextModule ||
                         outcome.outcome == RefreshReport::Outcome::Declined;
  if (stopped_quietly) return Status::Ok();

  // The second pass over the same text view the scan read.
  RAMULET_RETURN_IF_ERROR(FindCallReferences(*tables.curTextDoc, tables));
  if (build_tree) RAMULET_RETURN_IF_ERROR(build_tree(tables));
  outcome.outcome = RefreshReport::Outcome::Completed;
  return Status::Ok();
}

}  // namespace ramulet
