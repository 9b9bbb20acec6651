#include <iostream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/input_reader.h"
#if RAMULET_WITH_LSP
#include "lsp/stdio_server.h"
#endif

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  ramulet::UseBinaryStdin();
  std::vector<std::string> args(argv + 1, argv + argc);
#if RAMULET_WITH_LSP
  // `ramulet lsp` serves the Language Server Protocol on stdin and stdout.
  if (args.size() == 1 && args[0] == "lsp") return ramulet::lsp::ServeStandardStreams();
#endif
  return ramulet::RunCli(args, std::cin, std::cout, std::cerr);
}
