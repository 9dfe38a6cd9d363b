#pragma once
// LargeArray<T>: a std::vector for the arrays that can grow to hundreds of
// megabytes (stroke meshes, pictures). Blocks from 4 MiB up are mapped on
// their own and backed by huge pages where the system offers them: fresh
// memory touched one small page at a time costs more than filling it, and
// the mesh of a long stroke is about a gigabyte.
//
// resize() leaves new elements of trivial types (bytes, ints)
// uninitialised, so a buffer about to be overwritten is not cleared first;
// assign(n, value) fills as usual.

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// Raw storage of at least `bytes` bytes; throws std::bad_alloc on failure.
void* AllocateLargeBlock(std::size_t bytes);
// Releases a block from AllocateLargeBlock with the same byte count.
void FreeLargeBlock(void* block, std::size_t bytes);

template <class T>
struct LargeBlockAllocator {
  using value_type = T;

  LargeBlockAllocator() = default;
  template <class U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) {}

  T* allocate(std::size_t count) {
    if (count > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateLargeBlock(count * sizeof(T)));
  }
  void deallocate(T* block, std::size_t count) { FreeLargeBlock(block, count * sizeof(T)); }

  // Default-initialise: a no-op for trivial types, the constructor otherwise.
  template <class U>
  void construct(U* at) noexcept(std::is_nothrow_default_constructible<U>::value) {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }

  template <class U>
  bool operator==(const LargeBlockAllocator<U>&) const {
    return true;
  }
  template <class U>
  bool operator!=(const LargeBlockAllocator<U>&) const {
    return false;
  }
};

template <class T>
using LargeArray = std::vector<T, LargeBlockAllocator<T>>;
