#include "lsp/memory_reserve.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace ramulet::lsp {

namespace {

std::atomic<void*> reserve{nullptr};

void GiveBackAndFail() {
  std::free(reserve.exchange(nullptr));
  throw std::bad_alloc();
}

}  // namespace

void InstallMemoryReserve() {
  static const bool installed = [] {
    std::set_new_handler(GiveBackAndFail);
    return true;
  }();
  (void)installed;
  RefillMemoryReserve();
}

bool RefillMemoryReserve() {
  if (reserve.load() != nullptr) return true;
  void* memory = std::malloc(kMemoryReserveBytes);
  if (memory == nullptr) return false;
  void* expected = nullptr;
  if (!reserve.compare_exchange_strong(expected, memory)) std::free(memory);
  return true;
}

}  // namespace ramulet::lsp
