#include "lsp/stdio_server.h"

#include <csignal>
#include <iostream>

#include "lsp/server.h"

namespace ramulet::lsp {

int ServeStandardStreams() {
#ifdef SIGPIPE
  // Writing to a client that closed its end must fail the write, not kill
  // the process: the server then stops as on the end of its input.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  return RunServer(std::cin, std::cout);
}

}  // namespace ramulet::lsp
