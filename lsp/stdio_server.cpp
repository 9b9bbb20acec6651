#include "lsp/stdio_server.h"

#include <csignal>
#include <iostream>

#include "lsp/server.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace ramulet::lsp {

int ServeStandardStreams() {
#ifdef SIGPIPE
  // Writing to a client that closed its end must fail the write, not kill
  // the process: the server then stops as on the end of its input.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef _WIN32
  // Content-Length counts bytes: no CR may be added to a written LF.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return RunServer(std::cin, std::cout);
}

}  // namespace ramulet::lsp
