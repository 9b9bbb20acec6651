#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace ramulet {

inline constexpr int kExitOk = 0;
inline constexpr int kExitAnalysisFailed = 1;
inline constexpr int kExitUsage = 2;

// The whole command line: `args` are the arguments after the program name,
// `in` is read for the input "-". Returns the exit status.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace ramulet
