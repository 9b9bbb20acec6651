#pragma once

#include <cstddef>

namespace ramulet::lsp {

// Memory held back for the moment an allocation fails. The JSON library's
// destructors allocate as they take a large value apart, and they run
// while a failed allocation unwinds the stack: without memory then, the
// process is ended. Once installed, a failed allocation gives the reserve
// back before it throws std::bad_alloc, so that the unwinding can finish
// and the failure be answered; Refill() takes the reserve again when the
// memory is there.
inline constexpr size_t kMemoryReserveBytes = size_t{16} << 20;

// Sets the process's new-handler (once) and takes the reserve.
void InstallMemoryReserve();
// Takes the reserve again after it was given back; true when it is held.
bool RefillMemoryReserve();

}  // namespace ramulet::lsp
