#pragma once

#include <cstddef>
#include <new>
#include <utility>

// Memory that arrives zeroed from the system. Large blocks are mapped directly and asked to be
// backed by huge pages, so a result plane or bitmap of many megabytes costs a few page faults
// instead of thousands and is never cleared twice (once by the system, once by a fill).
void* AllocateZeroed(std::size_t bytes);  // throws std::bad_alloc
void FreeZeroed(void* block, std::size_t bytes) noexcept;

// Allocator for arrays that are sized once, for std::vector: value-initialisation without
// arguments (resize(n), vector(n)) leaves the zeroed memory as it is instead of writing it again.
// Only for trivial element types, and only where a vector never grows back after shrinking
// (the elements re-entered would keep their old values).
template <class T>
struct ZeroedAllocator {
  using value_type = T;

  ZeroedAllocator() noexcept = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateZeroed(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { FreeZeroed(p, n * sizeof(T)); }

  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <class U>
  friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator<U>&) noexcept {
    return true;
  }
};
