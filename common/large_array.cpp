#include "common/large_array.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Smaller blocks come from malloc, whose free lists serve them well.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;

std::size_t RoundUp(std::size_t value, std::size_t step) {
  return (value + step - 1) / step * step;
}

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  if (bytes < kMappedFrom) {
    if (void* block = std::malloc(bytes ? bytes : 1)) return block;
    throw std::bad_alloc();
  }
  // One huge page more than needed, so that the block can start on a
  // huge-page boundary; the unaligned head and the spare tail go back.
  const std::size_t length = RoundUp(bytes, kHugePage);
  char* mapped = static_cast<char*>(mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto address = reinterpret_cast<std::uintptr_t>(mapped);
  char* block = mapped + (RoundUp(address, kHugePage) - address);
  if (block != mapped) munmap(mapped, block - mapped);
  if (block + length != mapped + length + kHugePage)
    munmap(block + length, (mapped + length + kHugePage) - (block + length));
#ifdef MADV_HUGEPAGE
  madvise(block, length, MADV_HUGEPAGE);  // advice only: no huge pages is fine
#endif
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) {
  if (!block) return;
  if (bytes < kMappedFrom) {
    std::free(block);
    return;
  }
  munmap(block, RoundUp(bytes, kHugePage));
}
