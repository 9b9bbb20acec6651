#pragma once

namespace ramulet::lsp {

// Serves the language server on the process's standard input and output;
// returns the exit code. A client that goes away ends the server quietly.
int ServeStandardStreams();

}  // namespace ramulet::lsp
