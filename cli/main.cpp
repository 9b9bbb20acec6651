#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/input_reader.h"
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#if RAMULET_WITH_LSP
#include "lsp/stdio_server.h"
#endif

namespace {

// Standard output, buffered, that keeps why a write failed: a stream that
// has failed writes no more, and the error of its first failed write would
// be lost. Asked to flush again after a failure, it fails with that error
// in errno, which is how the program learns the reason it reports.
class StdoutBuffer : public std::streambuf {
 public:
  StdoutBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }

 protected:
  int sync() override { return Drain() ? 0 : -1; }
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

 private:
  // Writes what the buffer holds; false, with errno set, once any write
  // has failed.
  bool Drain() {
    const char* next = pbase();
    while (error_ == 0 && next < pptr()) {
      const auto wrote = WriteOut(next, static_cast<size_t>(pptr() - next));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) error_ = wrote < 0 && errno != 0 ? errno : EIO;
      if (wrote > 0) next += wrote;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    if (error_ != 0) errno = error_;
    return error_ == 0;
  }

  static long WriteOut(const char* bytes, size_t size) {
#ifdef _WIN32
    return _write(1, bytes, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
#else
    return static_cast<long>(write(1, bytes, size));
#endif
  }

  char buffer_[1 << 16];
  int error_ = 0;
};

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
  // Never freed: the streams flush at exit, after the locals are gone.
  std::cout.rdbuf(new StdoutBuffer);
  try {
#ifdef _WIN32
    const bool err_is_terminal = _isatty(2) != 0;
#else
    const bool err_is_terminal = isatty(2) != 0;
#endif
    return ramulet::RunCli(args, std::cin, std::cout, std::cerr, EndProcess, err_is_terminal);
  } catch (const std::bad_alloc&) {
    // Whatever ran out (the input, its text, the analysis, the output), the
    // run ends as an input error would: with a message and status 2.
    std::cout.flush();
    std::cerr << "ramulet: out of memory (the module is too large for the memory available)\n";
    return ramulet::kExitUsage;
  }
}
