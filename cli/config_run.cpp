#include "cli/config_run.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "analysis/module_analyzer.h"
#include "cli/app.h"
#include "cli/config_output.h"
#include "cli/location.h"
#include "config/cross_module_tree.h"
#include "cli/tree_output.h"
#include "site/site_writer.h"
#include "platform/text.h"

namespace ramulet {

namespace {

bool EndsWithMd(const std::string& input) {
  if (input.size() < 3) return false;
  const std::string tail = input.substr(input.size() - 3);
  return tail[0] == '.' && (tail[1] == 'm' || tail[1] == 'M') && (tail[2] == 'd' || tail[2] == 'D');
}

int Usage(const std::string& message, std::ostream& err) {
  err << "ramulet: " << message << " (see ramulet --help)\n";
  return kExitUsage;
}

// What does not apply to a whole configuration.
std::string Misfit(const Options& options) {
  if (options.encoding_given) return "--encoding applies to one module; a configuration's files say their own";
  if (options.rules_given && options.rules != RuleSet::kLanguage) {
    return "a configuration is always read by the language's rules (--rules language)";
  }
  return std::string();
}

// A line on standard error, rewritten in place, at most ten times a second.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}
  ~ProgressLine() { Clear(); }
  // Erases the line, so that what follows on standard error starts clean.
  void Clear() {
    if (shown_) err_ << "\r\033[K" << std::flush;
    shown_ = false;
  }
  void Show(size_t done, size_t total) {
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && done < total && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    shown_ = true;
    err_ << "\rramulet: read " << done << " of " << total << " modules" << std::flush;
  }

 private:
  std::ostream& err_;
  std::chrono::steady_clock::time_point last_{};
  bool shown_ = false;
};

void ReportModuleErrors(const Configuration& configuration, std::ostream& err) {
  for (const std::string& problem : configuration.problems) err << "ramulet: warning: " << problem << '\n';
  for (const ConfigModule& module : configuration.modules) {
    if (module.error.ok()) continue;
    const std::optional<AnalysisError>& error = module.analysis.error;
    if (error && error->kind == AnalysisError::Kind::kDuplicateMethod && error->line >= 0) {
      std::string first;
      if (error->first_line >= 0) first = " (first declared at line " + std::to_string(error->first_line + 1) + ")";
      err << Location(module.path, error->line) << ": error: duplicate method '" << Utf16ToUtf8(error->name) << "'"
          << first << '\n';
    } else {
      err << module.path << ": error: " << module.error.message() << '\n';
    }
  }
}

int WriteRootTree(const Configuration& configuration, const Options& options, std::ostream& out, std::ostream& err) {
  const std::optional<MethodPlace> place = FindQualifiedMethod(configuration, *options.root);
  if (!place) {
    err << "ramulet: no method named '" << *options.root << "' (give it as Module.Method)\n";
    return kExitUsage;
  }
  CallTree tree;
  Status built = BuildCrossModuleTree(configuration, place->module, place->method, tree);
  TreeOutputOptions view;
  view.depth = options.depth;
  if (built.ok()) built = WriteTree(tree, view, out);
  if (!built.ok()) {
    err << "ramulet: " << built.message() << '\n';
    return kExitAnalysisFailed;
  }
  return kExitOk;
}

int WriteSiteOf(const Configuration& configuration, const Options& options, std::ostream& out, std::ostream& err) {
  SiteStats stats;
  const Status written = WriteSite(configuration, options.html_dir, &stats);
  if (!written.ok()) {
    err << "ramulet: " << written.message() << '\n';
    return kExitUsage;
  }
  out << "ramulet: wrote " << stats.files << " files, " << stats.bytes << " bytes, to " << options.html_dir
      << " (open index.html)\n";
  return kExitOk;
}

int WriteForm(const Configuration& configuration, const Options& options, std::ostream& out, std::ostream& err) {
  switch (options.form) {
    case OutputForm::Html:
      return WriteSiteOf(configuration, options, out, err);
    case OutputForm::Json:
      WriteConfigJson(configuration, out);
      return kExitOk;
    case OutputForm::Dot:
      WriteConfigDot(configuration, out);
      return kExitOk;
    case OutputForm::DotMethods: {
      const int32_t module = configuration.FindModule(options.dot_module);
      if (module < 0) {
        err << "ramulet: no module named '" << options.dot_module << "'\n";
        return kExitUsage;
      }
      WriteConfigMethodDot(configuration, module, out);
      return kExitOk;
    }
    case OutputForm::Method: {
      const std::optional<MethodPlace> place = FindQualifiedMethod(configuration, options.method);
      if (!place) {
        err << "ramulet: no method named '" << options.method << "' (give it as Module.Method)\n";
        return kExitUsage;
      }
      WriteConfigMethod(configuration, place->module, place->method, out);
      return kExitOk;
    }
    case OutputForm::Text:
      if (options.root) return WriteRootTree(configuration, options, out, err);
      WriteConfigText(configuration, !options.no_tree, out);
      return kExitOk;
  }
  return kExitOk;
}

}  // namespace

bool IsConfigurationInput(const std::string& input) {
  if (input == "-") return false;
  std::error_code error;
  return std::filesystem::is_directory(input, error) || EndsWithMd(input);
}

int RunConfiguration(const Options& options, std::ostream& out, std::ostream& err, bool progress,
                     std::unique_ptr<Configuration>& kept) {
  const std::string misfit = Misfit(options);
  if (!misfit.empty()) return Usage(misfit, err);
  LoadOptions load;
  load.read.globals = options.globals;
  load.read.max_file_size = options.max_input_size;
  load.keep_text = options.form == OutputForm::Html;
  ProgressLine line(err);
  if (progress) load.progress = [&line](size_t done, size_t total) { line.Show(done, total); };
  const ModuleAnalyzer analyzer;
  kept = std::make_unique<Configuration>();
  Status loaded = LoadConfiguration(analyzer, options.input, load, *kept);
  line.Clear();
  if (!loaded.ok()) {
    err << "ramulet: " << loaded.message() << '\n';
    return kExitUsage;
  }
  ReportModuleErrors(*kept, err);
  const int written = WriteForm(*kept, options, out, err);
  if (written != kExitOk) return written;
  return kept->FailedModules() > 0 ? kExitAnalysisFailed : kExitOk;
}

int RunModuleSite(const Options& options, const std::string& display_name, TextLines text, std::ostream& out,
                  std::ostream& err) {
  const ModuleAnalyzer analyzer;
  Configuration configuration;
  const Status analysed = LoadSingleModule(analyzer, display_name, std::move(text), options.rules, configuration);
  if (!analysed.ok()) err << display_name << ": error: " << analysed.message() << '\n';
  const int written = WriteSiteOf(configuration, options, out, err);
  if (written != kExitOk) return written;
  return analysed.ok() ? kExitOk : kExitAnalysisFailed;
}

}  // namespace ramulet
