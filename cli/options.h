#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/module_analysis.h"
#include "cli/input_reader.h"
#include "textio/text_decoding.h"
#include "platform/status.h"

namespace ramulet {

enum class OutputForm { Text, Method, Json, Dot, DotMethods, Html };

struct Options {
  std::string input;  // a path, or "-" for standard input
  Encoding encoding = Encoding::Auto;
  RuleSet rules = RuleSet::kPanel;
  OutputForm form = OutputForm::Text;
  std::string method;              // with OutputForm::Method (UTF-8)
  std::string dot_module;          // with OutputForm::DotMethods (UTF-8)
  std::string html_dir;            // with OutputForm::Html: the site's folder
  // --global, repeatable: global common modules (or the old platform's
  // global module file) of a configuration read from a folder.
  std::vector<std::string> globals;
  bool rules_given = false;
  bool encoding_given = false;
  std::optional<int> depth;        // levels below the top-level nodes
  std::optional<std::string> root;  // only this method's subtree (UTF-8)
  uint64_t max_input_size = kDefaultMaxInputSize;  // bytes
  bool no_tree = false;
  bool help = false;
  bool version = false;
};

// Reads the arguments after the program name. Fails with kInvalidArgument
// and a one-line message on an unknown option, a missing or bad value, a
// missing or second input, or options that do not go together.
Status ParseOptions(const std::vector<std::string>& args, Options& options);

// The text printed by --help.
std::string UsageText();

inline constexpr const char* kVersionText = "ramulet 1.0.0";

}  // namespace ramulet
