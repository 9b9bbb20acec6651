#include "cli/app.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "cli/config_run.h"
#include "cli/dot_output.h"
#include "cli/encoding_hint.h"
#include "cli/input_reader.h"
#include "cli/json_output.h"
#include "cli/location.h"
#include "cli/method_report.h"
#include "cli/options.h"
#include "textio/module_text.h"
#include "textio/text_decoding.h"
#include "textio/text_lines.h"
#include "cli/tree_output.h"
#include "tree/module_run.h"
#include "platform/text.h"

namespace ramulet {

namespace {

int UsageError(const std::string& message, std::ostream& err) {
  err << "ramulet: " << message << " (see ramulet --help)\n";
  return kExitUsage;
}

int InputError(const std::string& message, std::ostream& err) {
  err << "ramulet: " << message << '\n';
  return kExitUsage;
}

// A name given to --root or --method that is not a method of the module: the
// command line asked for something the module does not have.
int UnknownMethod(const std::string& name, std::ostream& err) {
  err << "ramulet: no method named '" << name << "'\n";
  return kExitUsage;
}

int ModuleError(const std::string& where, const std::string& message, std::ostream& err) {
  err << where << ": error: " << message << '\n';
  return kExitAnalysisFailed;
}

int FailedAnalysis(const ModuleRun& result, const Status& status, const std::string& file, std::ostream& err) {
  const std::optional<AnalysisError>& error = result.analysis.error;
  if (error && error->kind == AnalysisError::Kind::kDuplicateMethod && error->line >= 0) {
    std::string first;
    if (error->first_line >= 0) first = " (first declared at line " + std::to_string(error->first_line + 1) + ")";
    return ModuleError(Location(file, error->line), "duplicate method '" + Utf16ToUtf8(error->name) + "'" + first, err);
  }
  return ModuleError(file, status.message(), err);
}

std::string DisplayName(const Options& options) { return options.input == "-" ? kStdinName : options.input; }

// The module as read from the input named in `options`.
using LoadedModule = ModuleText;

// Reads and decodes the module; malformed UTF-8 read as U+FFFD is reported
// on `err`.
Status LoadModule(const Options& options, std::istream& in, LoadedModule& module, std::ostream& err) {
  std::string bytes;
  RAMULET_RETURN_IF_ERROR(ReadInput(options.input, in, options.max_input_size, bytes));
  Status decoded = LoadModuleText(std::move(bytes), options.encoding, module);
  if (!decoded.ok()) return Status::Error(decoded.code(), DisplayName(options) + ": " + decoded.message());
  if (module.notes.replaced > 0) {
    err << DisplayName(options) << ":" << module.notes.first_replaced_line << ": warning: not valid UTF-8: "
        << module.notes.replaced << " malformed byte sequence(s) read as U+FFFD, the first on this line\n";
  }
  return Status::Ok();
}

// Flushes `out`: false when what was written did not all arrive, with the
// system's reason in `reason` where it gives one.
bool Flush(std::ostream& out, std::string& reason) {
  out.flush();
  if (out) return true;
  // A stream that failed writes no more: its buffer is asked once more, for
  // the reason.
  errno = 0;
  if (out.rdbuf() != nullptr) out.rdbuf()->pubsync();
  if (errno != 0) reason = std::strerror(errno);
  return false;
}

int OutputError(const std::string& reason, std::ostream& err) {
  return InputError(reason.empty() ? "cannot write the output" : "cannot write the output: " + reason, err);
}

// A module without methods in the encoding it was read in may simply have
// been read in the wrong one: say so rather than report it empty in silence.
void WarnOfOtherEncoding(const ModuleAnalyzer& analyzer, const LoadedModule& module, const std::string& file,
                         std::ostream& err) {
  std::optional<EncodingHint> hint = FindEncodingWithMethods(analyzer, module.Bytes(), module.notes);
  if (!hint) return;
  const char* other = EncodingOptionName(hint->encoding);
  err << file << ": warning: no procedures or functions found reading the module as "
      << EncodingOptionName(module.notes.used) << ", but read as " << other << " it has " << hint->methods
      << " (try --encoding " << other << ")\n";
}

// JSON without the tree still reports its node count, which a counting
// pass gives without building it.
TreeWork TreeWorkFor(const Options& options) {
  if (options.form == OutputForm::Json) return options.no_tree ? TreeWork::Count : TreeWork::Build;
  return options.form == OutputForm::Text && !options.no_tree ? TreeWork::Build : TreeWork::None;
}

int WriteTextForm(const ModuleRun& result, const Options& options, const std::string& file, std::ostream& out,
                  std::ostream& err) {
  TreeOutputOptions view;
  view.depth = options.depth;
  if (options.root) {
    view.root = Utf8ToUtf16(*options.root);
    if (result.analysis.Find(*view.root) < 0) return UnknownMethod(*options.root, err);
  }
  WriteMethodReport(result.analysis, file, out);
  if (options.no_tree || result.analysis.MethodCount() == 0) return kExitOk;
  out << "\nCall tree:\n";
  Status drawn = WriteTree(result.tree, view, out);
  if (!drawn.ok()) return ModuleError(file, drawn.message(), err);
  return kExitOk;
}

int WriteMethodForm(const ModuleRun& result, const Options& options, const std::string& file,
                    std::ostream& out, std::ostream& err) {
  int32_t method = result.analysis.Find(Utf8ToUtf16(options.method));
  if (method < 0) return UnknownMethod(options.method, err);
  WriteMethodBlock(result.analysis, method, file, out);
  return kExitOk;
}

int Analyse(const Options& options, LoadedModule& module, std::unique_ptr<ModuleRun>& result, std::ostream& out,
            std::ostream& err) {
  std::string file = DisplayName(options);
  const ModuleAnalyzer analyzer;
  result = std::make_unique<ModuleRun>();
  Status analysis = RunModule(analyzer, module.lines, TreeWorkFor(options), *result, options.rules);
  for (const AnalysisWarning& warning : result->analysis.warnings) {
    err << Location(file, warning.line) << ": warning: " << warning.message << '\n';
  }
  if (options.form == OutputForm::Json) WriteJson(*result, analysis, !options.no_tree, out);
  if (!analysis.ok()) return FailedAnalysis(*result, analysis, file, err);
  if (result->analysis.MethodCount() == 0) WarnOfOtherEncoding(analyzer, module, file, err);
  switch (options.form) {
    case OutputForm::Text:
      return WriteTextForm(*result, options, file, out, err);
    case OutputForm::Method:
      return WriteMethodForm(*result, options, file, out, err);
    case OutputForm::Dot:
      WriteDot(result->analysis, out);
      return kExitOk;
    case OutputForm::Json:
    case OutputForm::DotMethods:  // refused before the module is read
    case OutputForm::Html:        // written before the analysis
      break;
  }
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           CliFinished finished, bool err_is_terminal) {
  Options options;
  Status parsed = ParseOptions(args, options);
  if (!parsed.ok()) return UsageError(parsed.message(), err);
  std::string reason;
  if (options.help || options.version) {
    out << (options.help ? UsageText() : std::string(kVersionText) + '\n');
    return Flush(out, reason) ? kExitOk : OutputError(reason, err);
  }
  if (IsConfigurationInput(options.input)) {
    std::unique_ptr<Configuration> configuration;
    const int status = RunConfiguration(options, out, err, err_is_terminal, configuration);
    if (!Flush(out, reason)) return OutputError(reason, err);
    if (finished != nullptr) finished(status);
    return status;
  }
  if (!options.globals.empty() || options.form == OutputForm::DotMethods) {
    return UsageError("--global and --dot-methods apply to a configuration (a folder or a .MD file)", err);
  }
  // The module and its analysis live until `finished` has run, which may
  // end the process without taking them apart.
  LoadedModule module;
  Status loaded = LoadModule(options, in, module, err);
  if (!loaded.ok()) return InputError(loaded.message(), err);
  if (options.form == OutputForm::Html) {
    const int status = RunModuleSite(options, DisplayName(options), std::move(module.lines), out, err);
    if (!Flush(out, reason)) return OutputError(reason, err);
    return status;
  }
  std::unique_ptr<ModuleRun> result;
  int status = Analyse(options, module, result, out, err);
  if (!Flush(out, reason)) return OutputError(reason, err);
  if (finished != nullptr) finished(status);
  return status;
}

}  // namespace ramulet
