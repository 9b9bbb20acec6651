#include "platform/huge_pages.h"

#include <algorithm>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ramulet {

void PreferHugePages(void* data, size_t used, size_t capacity) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kMask = kHugePageSize - 1;
  const uintptr_t start = reinterpret_cast<uintptr_t>(data);
  const uintptr_t begin = (start + kMask) & ~kMask;
  const uintptr_t end = std::min((start + used + kMask) & ~kMask, (start + capacity) & ~kMask);
  // The advice is taken or not; a refusal leaves ordinary pages, which
  // serve as well.
  if (begin < end) (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)used;
  (void)capacity;
#endif
}

}  // namespace ramulet
