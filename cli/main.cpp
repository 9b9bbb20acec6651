#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/input_reader.h"
#if RAMULET_WITH_LSP
#include "lsp/stdio_server.h"
#endif

namespace {

// Ends the process once the analysis' output is written and checked,
// without freeing the module and its tables (the system takes the pages
// back at once). RunCli has flushed and checked the output; the error
// stream is unit-buffered, flushed here all the same, and the C streams,
// which nothing writes to, too.
void EndProcess(int status) {
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  ramulet::UseBinaryStdin();
  std::vector<std::string> args(argv + 1, argv + argc);
#if RAMULET_WITH_LSP
  // `ramulet lsp` serves the Language Server Protocol on stdin and stdout.
  if (args.size() == 1 && args[0] == "lsp") return ramulet::lsp::ServeStandardStreams();
#endif
  return ramulet::RunCli(args, std::cin, std::cout, std::cerr, EndProcess);
}
