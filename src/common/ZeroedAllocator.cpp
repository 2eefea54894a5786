#include "common/ZeroedAllocator.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

// Blocks from this size on are mapped; smaller ones come zeroed from calloc.
constexpr std::size_t kMapped = std::size_t{1} << 20;
// The huge page size the mapping is aligned to (x86-64 and most 64-bit Linux systems).
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedBytes(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
  if (bytes < kMapped) {
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  if (bytes > static_cast<std::size_t>(-1) - 2 * kHugePage) throw std::bad_alloc();
  // Map a huge page more than needed and cut the ends off, so the block starts on a huge page.
  const std::size_t size = MappedBytes(bytes);
  void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~std::uintptr_t{kHugePage - 1};
  if (aligned > start) ::munmap(mapped, aligned - start);
  const std::size_t tail = (start + size + kHugePage) - (aligned + size);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  ::madvise(block, size, MADV_HUGEPAGE);  // advice only: without it the block still works
#endif
  return block;
}

void FreeZeroed(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes < kMapped) {
    std::free(block);
    return;
  }
  ::munmap(block, MappedBytes(bytes));
}
