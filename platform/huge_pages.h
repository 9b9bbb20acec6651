#pragma once

#include <cstddef>

namespace ramulet {

// Huge pages for large buffers. A module's text runs to megabytes, and
// faulting it in 4 KiB at a time cost the command line more than decoding
// it did.

// The size of a huge page where the system has them.
inline constexpr size_t kHugePageSize = size_t{1} << 21;

// Asks the system to back the huge pages that cover [data, data + used)
// with huge pages when they are first written, as far as they lie inside
// [data, data + capacity); a buffer that wants them whole is allocated a
// huge page larger than it needs. Only a hint: where the system has no such
// pages, or declines, nothing changes. Call it before the memory is first
// written.
void PreferHugePages(void* data, size_t used, size_t capacity);

}  // namespace ramulet
