#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace ramulet {

// Whether this build has threads: MinGW's compilers with Win32 threads
// have no std::thread; the work then runs on the calling thread alone.
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
inline constexpr bool kHasThreads = true;
#else
inline constexpr bool kHasThreads = false;
#endif

// Threads to use for work over `items` items: one per core, at most
// `limit`, never more than the items.
inline unsigned ThreadsFor(size_t items, unsigned wanted = 0, unsigned limit = 8) {
  if constexpr (!kHasThreads) {
    return 1;
  } else {
    unsigned threads = wanted != 0 ? wanted : std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, limit);
    return static_cast<unsigned>(std::max<size_t>(1, std::min<size_t>(threads, items)));
  }
}

// Runs `work` on `threads` threads, the calling one among them (it runs
// `on_caller` there instead when given), and waits for all of them.
template <typename Work, typename CallerWork>
void RunOnThreads(unsigned threads, Work work, CallerWork on_caller) {
#if !defined(__GLIBCXX__) || defined(_GLIBCXX_HAS_GTHREADS)
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
  on_caller();
  for (auto& helper : helpers) helper.join();
#else
  (void)threads;
  (void)work;
  on_caller();
#endif
}

template <typename Work>
void RunOnThreads(unsigned threads, Work work) {
  RunOnThreads(threads, work, work);
}

}  // namespace ramulet
