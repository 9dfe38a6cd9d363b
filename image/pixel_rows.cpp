#include "image/pixel_rows.h"

// Every map and source picture passes through here once per read. Plain
// x86-64 code cannot shuffle bytes in vector registers, so an AVX2 version
// is built beside the portable one and picked at load time where the
// processor has it.
#if defined(__x86_64__) && (defined(__clang__) || defined(__GNUC__))
__attribute__((target_clones("avx2", "default")))
#endif
void CopyBgrToRgb(const std::uint8_t* __restrict src, std::uint8_t* __restrict dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) {
    dst[3 * i] = src[3 * i + 2];
    dst[3 * i + 1] = src[3 * i + 1];
    dst[3 * i + 2] = src[3 * i];
  }
}
