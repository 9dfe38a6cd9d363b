#include "image/pixel_rows.h"

#include "image/vector_paths.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELVRA_X86_PATHS 1
#include <immintrin.h>
#endif

namespace {

void CopyBgrToRgbPlain(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) {
    dst[3 * i] = src[3 * i + 2];
    dst[3 * i + 1] = src[3 * i + 1];
    dst[3 * i + 2] = src[3 * i];
  }
}

void ExchangeRowsBgrToRgbPlain(std::uint8_t* a, std::uint8_t* b, std::size_t pixels) {
  for (std::size_t i = 0; i < 3 * pixels; i += 3) {
    const std::uint8_t a0 = a[i], a1 = a[i + 1], a2 = a[i + 2];
    a[i] = b[i + 2];
    a[i + 1] = b[i + 1];
    a[i + 2] = b[i];
    b[i] = a2;
    b[i + 1] = a1;
    b[i + 2] = a0;
  }
}

#ifdef KELVRA_X86_PATHS
// 16 pixels (48 bytes, three vectors) at a time. Output byte j comes from
// input byte 3·(j/3) + 2 − j%3, which for the bytes at the vector seams
// lies in the neighbouring vector; each output vector is therefore the OR
// of byte shuffles of up to three inputs (−1 in a mask gives a zero byte).
struct SixteenPixels {
  __m128i v[3];
};

__attribute__((target("avx2"))) inline SixteenPixels LoadSwapped(const std::uint8_t* from) {
  const __m128i out0From0 = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, -1);
  const __m128i out0From1 =
      _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1);
  const __m128i out1From0 =
      _mm_setr_epi8(-1, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i out1From1 = _mm_setr_epi8(0, -1, 4, 3, 2, 7, 6, 5, 10, 9, 8, 13, 12, 11, -1, 15);
  const __m128i out1From2 =
      _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1);
  const __m128i out2From1 =
      _mm_setr_epi8(14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i out2From2 = _mm_setr_epi8(-1, 3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13);
  const __m128i in0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  const __m128i in1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
  const __m128i in2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 32));
  SixteenPixels out;
  out.v[0] = _mm_or_si128(_mm_shuffle_epi8(in0, out0From0), _mm_shuffle_epi8(in1, out0From1));
  out.v[1] =
      _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(in0, out1From0), _mm_shuffle_epi8(in1, out1From1)),
                   _mm_shuffle_epi8(in2, out1From2));
  out.v[2] = _mm_or_si128(_mm_shuffle_epi8(in1, out2From1), _mm_shuffle_epi8(in2, out2From2));
  return out;
}

__attribute__((target("avx2"))) inline void Store(std::uint8_t* to, const SixteenPixels& pixels) {
  for (int k = 0; k < 3; ++k)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16 * k), pixels.v[k]);
}

__attribute__((target("avx2"))) void CopyBgrToRgbAvx2(const std::uint8_t* src, std::uint8_t* dst,
                                                      std::size_t pixels) {
  std::size_t i = 0;
  for (; i + 16 <= pixels; i += 16) Store(dst + 3 * i, LoadSwapped(src + 3 * i));
  CopyBgrToRgbPlain(src + 3 * i, dst + 3 * i, pixels - i);
}

// Both blocks are loaded before either is stored, so a == b works too.
__attribute__((target("avx2"))) void ExchangeRowsBgrToRgbAvx2(std::uint8_t* a, std::uint8_t* b,
                                                              std::size_t pixels) {
  std::size_t i = 0;
  for (; i + 16 <= pixels; i += 16) {
    const SixteenPixels fromA = LoadSwapped(a + 3 * i), fromB = LoadSwapped(b + 3 * i);
    Store(a + 3 * i, fromB);
    Store(b + 3 * i, fromA);
  }
  ExchangeRowsBgrToRgbPlain(a + 3 * i, b + 3 * i, pixels - i);
}
#endif

}  // namespace

void CopyBgrToRgb(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
#ifdef KELVRA_X86_PATHS
  if (ActiveVectorPath() == VectorPath::kAvx2) return CopyBgrToRgbAvx2(src, dst, pixels);
#endif
  CopyBgrToRgbPlain(src, dst, pixels);
}

void ExchangeRowsBgrToRgb(std::uint8_t* a, std::uint8_t* b, std::size_t pixels) {
#ifdef KELVRA_X86_PATHS
  if (ActiveVectorPath() == VectorPath::kAvx2) return ExchangeRowsBgrToRgbAvx2(a, b, pixels);
#endif
  ExchangeRowsBgrToRgbPlain(a, b, pixels);
}
