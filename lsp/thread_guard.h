#pragma once

// A mutex where the build has threads, and nothing where it has none
// (MinGW's Win32 thread model: the work then runs on the calling thread).
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
#include <mutex>
#include <thread>
#define RAMULET_LSP_THREADS 1
#endif

namespace ramulet::lsp {

#ifdef RAMULET_LSP_THREADS
using Mutex = std::mutex;
#else
struct Mutex {
  void lock() {}
  void unlock() {}
};
#endif

// Holds `mutex` for the scope (std::lock_guard is not there without threads).
class Locked {
 public:
  explicit Locked(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
  ~Locked() { mutex_.unlock(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  Mutex& mutex_;
};

}  // namespace ramulet::lsp
