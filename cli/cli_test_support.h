#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// RunCli with `module` (bytes) on standard input and "-" appended to `args`.
CliRun RunOnStdin(std::string_view module, std::vector<std::string> args = {});

// True when `text` is exactly one well-formed JSON value (surrounding
// whitespace allowed).
bool IsWellFormedJson(std::string_view text);

}  // namespace ramulet
