#include "cli/options.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <set>
#include <string_view>
#include <utility>

namespace ramulet {

namespace {

Status Usage(const std::string& message) { return Status::Error(Status::kInvalidArgument, message); }

bool TakesValue(std::string_view name) {
  return name == "--encoding" || name == "--method" || name == "--depth" || name == "--root" || name == "--rules" ||
         name == "--max-input-size" || name == "--global" || name == "--dot-methods" ||
         name == "--html";
}

Status ParseEncoding(const std::string& value, Encoding& encoding) {
  static constexpr std::pair<std::string_view, Encoding> kNames[] = {{"utf-8", Encoding::Utf8},
                                                                      {"utf-16", Encoding::Utf16},
                                                                      {"utf-16le", Encoding::Utf16Le},
                                                                      {"utf-16be", Encoding::Utf16Be},
                                                                      {"cp1251", Encoding::Cp1251}};
  for (const auto& [name, known] : kNames) {
    if (value == name) {
      encoding = known;
      return Status::Ok();
    }
  }
  return Usage("--encoding takes utf-8, utf-16, utf-16le, utf-16be or cp1251, not '" + value + "'");
}

// A number of bytes, optionally followed by K, M or G (binary multiples).
Status ParseSize(const std::string& value, uint64_t& size) {
  const Status bad = Usage("--max-input-size takes a number of bytes, 1 or more, optionally followed by K, M or G, not '" +
                           value + "'");
  uint64_t number = 0;
  const char* end = value.data() + value.size();
  auto [stop, error] = std::from_chars(value.data(), end, number);
  if (value.empty() || error != std::errc() || number == 0) return bad;
  int shift = 0;
  if (stop != end) {
    const std::string_view suffixes = "KMG";
    const size_t suffix = end - stop == 1 ? suffixes.find(static_cast<char>(std::toupper(static_cast<unsigned char>(*stop)))) : std::string_view::npos;
    if (suffix == std::string_view::npos) return bad;
    shift = 10 * static_cast<int>(suffix + 1);
  }
  if (number > (std::numeric_limits<uint64_t>::max() >> shift)) return bad;
  size = number << shift;
  return Status::Ok();
}

Status ParseRules(const std::string& value, RuleSet& rules) {
  if (value == "panel" || value == "language") {
    rules = value == "panel" ? RuleSet::kPanel : RuleSet::kLanguage;
    return Status::Ok();
  }
  return Usage("--rules takes panel or language, not '" + value + "'");
}

Status ParseDepth(const std::string& value, std::optional<int>& depth) {
  int number = 0;
  const char* end = value.data() + value.size();
  auto [stop, error] = std::from_chars(value.data(), end, number);
  if (value.empty() || error != std::errc() || stop != end || number < 0) {
    return Usage("--depth takes a whole number of levels, 0 or more, not '" + value + "'");
  }
  depth = number;
  return Status::Ok();
}

Status SetForm(OutputForm form, const char* name, bool& form_given, Options& options) {
  if (form_given) return Usage(std::string(name) + " cannot be combined with another output form");
  form_given = true;
  options.form = form;
  return Status::Ok();
}

Status ApplyValue(std::string_view name, const std::string& value, bool& form_given, Options& options) {
  if (name == "--encoding") {
    options.encoding_given = true;
    return ParseEncoding(value, options.encoding);
  }
  if (name == "--global") {
    if (value.empty()) return Usage("--global needs a module name or file");
    options.globals.push_back(value);
    return Status::Ok();
  }
  if (name == "--html") {
    if (value.empty()) return Usage("--html needs the folder to write the site to");
    RAMULET_RETURN_IF_ERROR(SetForm(OutputForm::Html, "--html", form_given, options));
    options.html_dir = value;
    return Status::Ok();
  }
  if (name == "--dot-methods") {
    RAMULET_RETURN_IF_ERROR(SetForm(OutputForm::DotMethods, "--dot-methods", form_given, options));
    options.dot_module = value;
    return Status::Ok();
  }
  if (name == "--depth") return ParseDepth(value, options.depth);
  if (name == "--rules") {
    options.rules_given = true;
    return ParseRules(value, options.rules);
  }
  if (name == "--max-input-size") return ParseSize(value, options.max_input_size);
  if (name == "--root") {
    options.root = value;
    return Status::Ok();
  }
  RAMULET_RETURN_IF_ERROR(SetForm(OutputForm::Method, "--method", form_given, options));
  options.method = value;
  return Status::Ok();
}

Status ApplyFlag(std::string_view name, bool& form_given, Options& options) {
  if (name == "--json") return SetForm(OutputForm::Json, "--json", form_given, options);
  if (name == "--dot") return SetForm(OutputForm::Dot, "--dot", form_given, options);
  bool* switch_flag = name == "--no-tree"                 ? &options.no_tree
                      : name == "--help" || name == "-h" ? &options.help
                      : name == "--version"              ? &options.version
                                                         : nullptr;
  if (switch_flag != nullptr) {
    *switch_flag = true;
    return Status::Ok();
  }
  return Usage("unknown option '" + std::string(name) + "'");
}

// Each option but --global may be given once; "-h" is "--help".
Status NoteGiven(std::string_view name, std::set<std::string, std::less<>>& given) {
  if (name == "--global") return Status::Ok();
  std::string canonical(name == "-h" ? "--help" : name);
  if (given.insert(canonical).second) return Status::Ok();
  return Usage("option '" + canonical + "' was given twice");
}

Status CheckCombination(const Options& options) {
  bool text = options.form == OutputForm::Text;
  if ((options.depth || options.root) && !text) {
    return Usage("--depth and --root apply to the default output only");
  }
  if (options.no_tree && (options.depth || options.root)) {
    return Usage("--depth and --root need the tree that --no-tree leaves out");
  }
  if ((!options.globals.empty() || options.form == OutputForm::DotMethods) && options.input == "-") {
    return Usage("--global and --dot-methods apply to a configuration (a folder or a .MD file)");
  }
  if (options.no_tree && !text && options.form != OutputForm::Json) {
    return Usage("--no-tree applies to the default and the --json output only");
  }
  return Status::Ok();
}

}  // namespace

Status ParseOptions(const std::vector<std::string>& args, Options& options) {
  options = Options();
  bool form_given = false;
  bool input_given = false;
  bool options_ended = false;
  std::set<std::string, std::less<>> given;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool is_option = !options_ended && arg.size() > 1 && arg[0] == '-';
    if (is_option && arg == "--") {
      options_ended = true;
    } else if (is_option) {
      size_t equals = arg.find('=');
      std::string_view name = std::string_view(arg).substr(0, equals);
      if (name.starts_with("--") || name == "-h") RAMULET_RETURN_IF_ERROR(NoteGiven(name, given));
      if (!TakesValue(name)) {
        if (equals != std::string::npos) return Usage("option '" + std::string(name) + "' takes no value");
        RAMULET_RETURN_IF_ERROR(ApplyFlag(name, form_given, options));
        continue;
      }
      if (equals == std::string::npos && i + 1 >= args.size()) {
        return Usage("option '" + std::string(name) + "' needs a value");
      }
      std::string value = equals != std::string::npos ? arg.substr(equals + 1) : args[++i];
      RAMULET_RETURN_IF_ERROR(ApplyValue(name, value, form_given, options));
    } else {
      if (input_given) {
        return Usage("only one module or configuration can be analysed at a time ('" + arg + "' is a second)");
      }
      options.input = arg;
      input_given = true;
    }
  }
  if (options.help || options.version) return Status::Ok();
  if (!input_given) return Usage("no module given (a file name, a folder, a .MD file, or - for standard input)");
  return CheckCombination(options);
}

std::string UsageText() {
  return "Usage: ramulet [options] FILE\n"
         "       ramulet [options] DIR | FILE.MD\n"
         "Lists the procedures and functions of a module, their calls and callers,\n"
         "and the tree of calls. FILE - reads the module from standard input.\n"
         "A folder or an old-platform .MD file is read as a whole configuration\n"
         "by the language's rules: every module, and the calls between modules.\n"
         "\n"
         "Options:\n"
         "  --encoding E   read the module as utf-8, utf-16, utf-16le, utf-16be or\n"
         "                 cp1251; utf-16 takes the byte order from the mark, or\n"
         "                 without one from the text (default: by byte order mark,\n"
         "                 else UTF-8, malformed bytes read as U+FFFD with a warning,\n"
         "                 unless the text is not UTF-8 at all: then cp1251)\n"
         "  --rules R      read the module by the panel's rules (panel, the default)\n"
         "                 or by the language's own (language)\n"
         "  --method NAME  only the calls and callers of method NAME (in a\n"
         "                 configuration: Module.Method, across modules)\n"
         "  --json         the full analysis as one JSON document\n"
         "  --dot          the call graph for Graphviz (dot -Tsvg); of a\n"
         "                 configuration, the graph of its modules\n"
         "  --depth N      show only N levels of the tree below each method\n"
         "  --root NAME    show only the tree beneath method NAME (in a\n"
         "                 configuration: Module.Method, following calls into\n"
         "                 other modules)\n"
         "  --global NAME  a configuration folder's global common module NAME, or\n"
         "                 its old-platform global module file (repeatable)\n"
         "  --html OUT     write a static site to browse the module or configuration\n"
         "                 to folder OUT (created if needed; open OUT/index.html)\n"
         "  --dot-methods MODULE\n"
         "                 the method graph of one module of a configuration and\n"
         "                 the methods it calls and that call it, for Graphviz\n"
         "  --no-tree      leave the call tree out\n"
         "  --max-input-size SIZE\n"
         "                 read at most SIZE bytes (K, M, G: binary multiples;\n"
         "                 default 1G); a larger input is an input error\n"
         "  --help         this text\n"
         "  --version      the program's version\n"
         "\n"
         "Exit status: 0 success, 1 the module (or a module of the configuration)\n"
         "cannot be analysed,\n"
         "2 a usage or input error, an output that cannot be written, or too\n"
         "little memory.\n";
}

}  // namespace ramulet
