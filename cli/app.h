#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace ramulet {

inline constexpr int kExitOk = 0;
inline constexpr int kExitAnalysisFailed = 1;
inline constexpr int kExitUsage = 2;

// Called by RunCli with the exit status once the output of an analysis is
// flushed and found written, while the module and its tables still live. A
// process that ends after RunCli may end there: freeing those structures
// one allocation at a time takes longer than the analysis' output does.
using CliFinished = void (*)(int status);

// The whole command line: `args` are the arguments after the program name,
// `in` is read for the input "-". Returns the exit status (after calling
// `finished`, when given and it returns).
// With `err_is_terminal`, reading a configuration shows its progress on
// `err`.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           CliFinished finished = nullptr, bool err_is_terminal = false);

}  // namespace ramulet
