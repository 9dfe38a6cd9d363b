#include "image/filters.h"

#include <cmath>
#include <cstring>

#include "image/vector_paths.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KELVRA_X86_PATHS 1
#include <immintrin.h>
#endif

namespace {

const char* const kGroupLowPass = "LOW PASS FILTERS";
const char* const kGroupHighPass = "HIGH PASS FILTERS";
const char* const kGroupShift = "SHIFT AND DIFFERENCE EDGE ENHANCEMENT";
const char* const kGroupLaplacian = "LAPLACIAN FILTERS";
const char* const kGroupGradient = "GRADIENT DIRECTIONAL FILTERS";
const char* const kGroupEmboss = "EMBOSSING EFFECTS";
const char* const kGroupSobel = "SOBEL EDGE DETECTION AND CONTOUR FILTERS";

struct FilterLabel {
  const char* name;
  const char* group;
};

const FilterLabel kLabels[kFilterCount] = {
    {"AVERAGE", kGroupLowPass},       {"LP1", kGroupLowPass},
    {"LP2", kGroupLowPass},           {"LP3", kGroupLowPass},
    {"GAUSSIAN", kGroupLowPass},      {"MEANREMOVAL", kGroupHighPass},
    {"HP1", kGroupHighPass},          {"HP2", kGroupHighPass},
    {"HP3", kGroupHighPass},          {"HORIZONTAL1", kGroupShift},
    {"VERTICAL1", kGroupShift},       {"HORZVERT", kGroupShift},
    {"LAPL1", kGroupLaplacian},       {"LAPL2", kGroupLaplacian},
    {"LAPL3", kGroupLaplacian},       {"DIAGONAL", kGroupLaplacian},
    {"HORIZONTAL2", kGroupLaplacian}, {"VERTICAL2", kGroupLaplacian},
    {"EAST1", kGroupGradient},        {"SOUTHEAST1", kGroupGradient},
    {"SOUTH1", kGroupGradient},       {"SOUTHWEST1", kGroupGradient},
    {"WEST1", kGroupGradient},        {"NORTHWEST1", kGroupGradient},
    {"NORTH1", kGroupGradient},       {"NORTHEAST1", kGroupGradient},
    {"EAST2", kGroupEmboss},          {"SOUTHEAST2", kGroupEmboss},
    {"SOUTH2", kGroupEmboss},         {"SOUTHWEST2", kGroupEmboss},
    {"WEST2", kGroupEmboss},          {"NORTHWEST2", kGroupEmboss},
    {"NORTH2", kGroupEmboss},         {"NORTHEAST2", kGroupEmboss},
    {"HORIZONTALS", kGroupSobel},     {"VERTICALS", kGroupSobel},
    {"HORIZONTALP", kGroupSobel},     {"VERTICALP", kGroupSobel},
};

// A kernel ready for one image: its non-zero taps and, for the vector
// paths, its divisor as a reciprocal, whether 16-bit lanes can hold its
// sums, and its taps in pairs.
struct PreparedKernel {
  struct Tap {
    int row;     // 0 above, 1 own row, 2 below
    int offset;  // bytes from the left neighbour's first channel: 0, 3 or 6
    int weight;
  };
  Tap taps[9];
  int tapCount = 0;
  int divisor;
  // sum / divisor for 0 ≤ sum < 2^16 as (sum × reciprocal) >> 16.
  std::uint32_t reciprocal;
  // True when every sum of this kernel fits a signed 16-bit lane and the
  // reciprocal gives the exact quotient for every positive sum it can reach:
  // with reciprocal = ceil(2^16 / d) = (2^16 + e) / d, the quotient is exact
  // while sum × e < 2^16. Partial sums, and the sum of any two taps, lie
  // between the sums of the negative and of the positive weights, so they
  // fit too (the byte multiply-add of the AVX2 path would saturate them).
  bool fitsSixteenBits;
  // Taps two by two (the last one paired with itself at weight 0 when the
  // count is odd): for pair p, the bytes at taps[2p] and taps[2p + 1] times
  // the two signed bytes of pairWeights[p], low byte first.
  int pairCount = 0;
  int pairFirst[5], pairSecond[5];
  std::uint16_t pairWeights[5];

  explicit PreparedKernel(const FilterKernel& kernel) : divisor(kernel.divisor) {
    int positive = 0, negative = 0;
    for (int t = 0; t < 9; ++t) {
      const int weight = kernel.k[t];
      if (weight == 0) continue;
      taps[tapCount++] = {t / 3, (t % 3) * 3, weight};
      if (weight > 0)
        positive += weight;
      else
        negative -= weight;
    }
    reciprocal = (65536u + divisor - 1) / divisor;
    const std::uint32_t excess = reciprocal * divisor - 65536u;
    fitsSixteenBits = 255 * positive <= 32767 && 255 * negative <= 32768 &&
                      (divisor == 1 || std::uint32_t(255 * positive) * excess < 65536u);
    for (int t = 0; t < tapCount; t += 2, ++pairCount) {
      const bool single = t + 1 == tapCount;
      pairFirst[pairCount] = t;
      pairSecond[pairCount] = single ? t : t + 1;
      const int second = single ? 0 : taps[t + 1].weight;
      pairWeights[pairCount] = static_cast<std::uint16_t>(
          static_cast<std::uint8_t>(taps[t].weight) | static_cast<std::uint8_t>(second) << 8);
    }
  }

  // One interior channel, straight from the definition.
  std::uint8_t Apply(const std::uint8_t* const rows[3], std::ptrdiff_t i) const {
    int sum = 0;
    for (int t = 0; t < tapCount; ++t)
      sum += taps[t].weight * rows[taps[t].row][taps[t].offset + i];
    // Quotients of 256 and more wrap to their low 8 bits (1020 → 252).
    return static_cast<std::uint8_t>(sum > 0 ? sum / divisor : 0);
  }
};

#ifdef KELVRA_X86_PATHS
// Sixteen channels at a time in 16-bit lanes; returns how many bytes of the
// span it filtered (a multiple of 16), the rest is left to the plain path.
// Each result is stored one step late, after the next step's loads: see
// FilterRowsAvx2 for why.
std::ptrdiff_t FilterSpanSse2(const PreparedKernel& kernel, const std::uint8_t* const rows[3],
                              std::uint8_t* out, std::ptrdiff_t span) {
  if (!kernel.fitsSixteenBits || span < 16) return 0;
  __m128i weights[9];
  const std::uint8_t* taps[9];
  for (int t = 0; t < kernel.tapCount; ++t) {
    weights[t] = _mm_set1_epi16(static_cast<std::int16_t>(kernel.taps[t].weight));
    taps[t] = rows[kernel.taps[t].row] + kernel.taps[t].offset;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i lowByte = _mm_set1_epi16(0xFF);
  const __m128i reciprocal = _mm_set1_epi16(static_cast<std::int16_t>(kernel.reciprocal & 0xFFFF));
  const auto filter = [&](std::ptrdiff_t i) {
    __m128i low = zero, high = zero;
    for (int t = 0; t < kernel.tapCount; ++t) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps[t] + i));
      low = _mm_add_epi16(low, _mm_mullo_epi16(_mm_unpacklo_epi8(bytes, zero), weights[t]));
      high = _mm_add_epi16(high, _mm_mullo_epi16(_mm_unpackhi_epi8(bytes, zero), weights[t]));
    }
    low = _mm_max_epi16(low, zero);
    high = _mm_max_epi16(high, zero);
    if (kernel.divisor != 1) {
      low = _mm_mulhi_epu16(low, reciprocal);
      high = _mm_mulhi_epu16(high, reciprocal);
    }
    return _mm_packus_epi16(_mm_and_si128(low, lowByte), _mm_and_si128(high, lowByte));
  };
  __m128i pending = filter(0);
  std::ptrdiff_t i = 16;
  for (; i + 16 <= span; i += 16) {
    const __m128i next = filter(i);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i - 16), pending);
    pending = next;
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i - 16), pending);
  return i;
}

// Thirty-two channels of one interior row at a time. The bytes of two taps
// are interleaved so that one multiply-add of unsigned bytes by signed
// weights gives both products summed in a 16-bit lane; Pairs is the number
// of tap pairs, fixed at compile time so the loop over them unrolls.
template <int Pairs>
struct Avx2Kernel {
  __m256i weights[Pairs];
  std::ptrdiff_t first[Pairs], second[Pairs];  // from the start of the row above
  __m256i reciprocal;
  bool divide;

  __attribute__((target("avx2"))) Avx2Kernel(const PreparedKernel& kernel, std::ptrdiff_t row) {
    for (int p = 0; p < Pairs; ++p) {
      weights[p] = _mm256_set1_epi16(static_cast<std::int16_t>(kernel.pairWeights[p]));
      const PreparedKernel::Tap& a = kernel.taps[kernel.pairFirst[p]];
      const PreparedKernel::Tap& b = kernel.taps[kernel.pairSecond[p]];
      first[p] = a.row * row + a.offset;
      second[p] = b.row * row + b.offset;
    }
    reciprocal = _mm256_set1_epi16(static_cast<std::int16_t>(kernel.reciprocal & 0xFFFF));
    divide = kernel.divisor != 1;
  }

  // Interior bytes i … i + 31 of the row below `above`.
  __attribute__((target("avx2"))) __m256i Filter(const std::uint8_t* above,
                                                 std::ptrdiff_t i) const {
    const __m256i zero = _mm256_setzero_si256();
    __m256i low = zero, high = zero;
    for (int p = 0; p < Pairs; ++p) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(above + first[p] + i));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(above + second[p] + i));
      low = _mm256_add_epi16(low, _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), weights[p]));
      high = _mm256_add_epi16(high, _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), weights[p]));
    }
    low = _mm256_max_epi16(low, zero);
    high = _mm256_max_epi16(high, zero);
    if (divide) {
      low = _mm256_mulhi_epu16(low, reciprocal);
      high = _mm256_mulhi_epu16(high, reciprocal);
    }
    // Both unpacks and the pack work within 128-bit halves, so the bytes
    // come back in their order.
    const __m256i lowByte = _mm256_set1_epi16(0xFF);
    return _mm256_packus_epi16(_mm256_and_si256(low, lowByte), _mm256_and_si256(high, lowByte));
  }
};

// Every interior row, 32 bytes a step.
//
// Stores are kept from running into the loads of the next step: the
// result row and the source row of the same y lie a whole number of pages
// apart, so a load of the own row just after the store of the 32 bytes
// before it has the same address bits below 4 KiB, and the processor holds
// the load until the store is done. Each result is stored only after the
// next step's loads have been issued.
template <int Pairs>
__attribute__((target("avx2"))) void FilterRowsAvx2(const PreparedKernel& prepared,
                                                    const std::uint8_t* src, std::uint8_t* dst,
                                                    std::ptrdiff_t row, int height) {
  const Avx2Kernel<Pairs> kernel(prepared, row);
  const std::ptrdiff_t span = row - 6;
  for (int y = 1; y + 1 < height; ++y) {
    const std::uint8_t* above = src + (y - 1) * row;
    std::uint8_t* out = dst + y * row + 3;
    __m256i pending = kernel.Filter(above, 0);
    std::ptrdiff_t i = 32;
    for (; i + 32 <= span; i += 32) {
      const __m256i next = kernel.Filter(above, i);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i - 32), pending);
      pending = next;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i - 32), pending);
    // The last bytes: one more step ending at the end of the span, which
    // writes some bytes a second time with the same values.
    if (i < span)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + span - 32),
                          kernel.Filter(above, span - 32));
  }
}

// The AVX2 path for kernels it can take and rows of at least 32 interior
// bytes; false leaves the picture to the other paths.
bool FilterInteriorAvx2(const PreparedKernel& kernel, const std::uint8_t* src, std::uint8_t* dst,
                        std::ptrdiff_t row, int height) {
  if (!kernel.fitsSixteenBits || row - 6 < 32) return false;
  switch (kernel.pairCount) {
    case 1:
      FilterRowsAvx2<1>(kernel, src, dst, row, height);
      return true;
    case 2:
      FilterRowsAvx2<2>(kernel, src, dst, row, height);
      return true;
    case 3:
      FilterRowsAvx2<3>(kernel, src, dst, row, height);
      return true;
    case 4:
      FilterRowsAvx2<4>(kernel, src, dst, row, height);
      return true;
    case 5:
      FilterRowsAvx2<5>(kernel, src, dst, row, height);
      return true;
    default:
      return false;  // a kernel of zeros only
  }
}
#endif

// The interior channels of one row: out[i] for every byte i of the span,
// whose 3 × 3 neighbourhood starts at rows[r][i].
void FilterSpan(const PreparedKernel& kernel, const std::uint8_t* const rows[3], std::uint8_t* out,
                std::ptrdiff_t span, VectorPath path) {
  std::ptrdiff_t i = 0;
#ifdef KELVRA_X86_PATHS
  if (path != VectorPath::kPlain) i = FilterSpanSse2(kernel, rows, out, span);
#else
  (void)path;
#endif
  for (; i < span; ++i) out[i] = kernel.Apply(rows, i);
}

}  // namespace

// clang-format off
const FilterKernel FilterTable[kFilterCount] = {
    {{ 1,  1,  1,   1,  1,  1,   1,  1,  1},  9},  // AVERAGE
    {{ 1,  1,  1,   1,  2,  1,   1,  1,  1}, 10},  // LP1
    {{ 1,  1,  1,   1,  4,  1,   1,  1,  1}, 12},  // LP2
    {{ 1,  1,  1,   1, 12,  1,   1,  1,  1}, 20},  // LP3
    {{ 1,  2,  1,   2,  4,  2,   1,  2,  1}, 16},  // GAUSSIAN
    {{-1, -1, -1,  -1,  9, -1,  -1, -1, -1},  1},  // MEANREMOVAL
    {{ 0, -1,  0,  -1,  5, -1,   0, -1,  0},  1},  // HP1
    {{ 1, -2,  1,  -2,  5, -2,   1, -2,  1},  1},  // HP2
    {{ 0, -1,  0,  -1, 20, -1,   0, -1,  0}, 16},  // HP3
    {{ 0, -1,  0,   0,  1,  0,   0,  0,  0},  1},  // HORIZONTAL1
    {{ 0,  0,  0,  -1,  1,  0,   0,  0,  0},  1},  // VERTICAL1
    {{-1,  0,  0,   0,  1,  0,   0,  0,  0},  1},  // HORZVERT
    {{ 0, -1,  0,  -1,  4, -1,   0, -1,  0},  1},  // LAPL1
    {{-1, -1, -1,  -1,  8, -1,  -1, -1, -1},  1},  // LAPL2
    {{ 1, -2,  1,  -2,  4, -2,   1, -2,  1},  1},  // LAPL3
    {{-1,  0, -1,   0,  4,  0,  -1,  0, -1},  1},  // DIAGONAL
    {{ 0, -1,  0,   0,  2,  0,   0, -1,  0},  1},  // HORIZONTAL2
    {{ 0,  0,  0,  -1,  2, -1,   0,  0,  0},  1},  // VERTICAL2
    {{-1,  1,  1,  -1, -2,  1,  -1,  1,  1},  1},  // EAST1
    {{-1, -1,  1,  -1, -2,  1,   1,  1,  1},  1},  // SOUTHEAST1
    {{-1, -1, -1,   1, -2,  1,   1,  1,  1},  1},  // SOUTH1
    {{ 1, -1, -1,   1, -2, -1,   1,  1,  1},  1},  // SOUTHWEST1
    {{ 1,  1, -1,   1, -2, -1,   1,  1, -1},  1},  // WEST1
    {{ 1,  1,  1,   1, -2,  1,   1, -1, -1},  1},  // NORTHWEST1
    {{ 1,  1,  1,   1, -2,  1,  -1, -1, -1},  1},  // NORTH1
    {{ 1,  1,  1,  -1, -2,  1,  -1, -1,  1},  1},  // NORTHEAST1
    {{-1,  0,  1,  -1,  1,  1,  -1,  0,  1},  1},  // EAST2
    {{-1, -1,  0,  -1,  1,  1,   0,  1,  1},  1},  // SOUTHEAST2
    {{-1, -1, -1,   0,  1,  0,   1,  1,  1},  1},  // SOUTH2
    {{ 0, -1, -1,   1,  1, -1,   1,  1,  0},  1},  // SOUTHWEST2
    {{ 1,  0, -1,   1,  1, -1,   1,  0, -1},  1},  // WEST2
    {{ 1,  1,  0,   1,  1, -1,   0, -1, -1},  1},  // NORTHWEST2
    {{ 1,  1,  1,   0,  1,  0,  -1, -1, -1},  1},  // NORTH2
    {{ 0,  1,  1,  -1,  1,  1,  -1, -1,  0},  1},  // NORTHEAST2
    {{ 1,  2,  1,   0,  0,  0,  -1, -2, -1},  1},  // HORIZONTALS
    {{ 1,  0, -1,   2,  0, -2,   1,  0, -1},  1},  // VERTICALS
    {{-1, -1, -1,   0,  0,  0,   1,  1,  1},  1},  // HORIZONTALP
    {{ 1,  0, -1,   1,  0, -1,   1,  0, -1},  1},  // VERTICALP
};
// clang-format on

const char* FilterName(int n) { return n >= 0 && n < kFilterCount ? kLabels[n].name : nullptr; }
const char* FilterGroupName(int n) {
  return n >= 0 && n < kFilterCount ? kLabels[n].group : nullptr;
}

int ApplyFilter(const BmpImage& source, BmpImage& result, int n) {
  if (source.BitsPerPixel() != 24 || n < 0 || n >= kFilterCount) return 0;
  // A source lacking some of its pixels is filtered as an empty picture.
  const bool whole = source.HasAllPixels();
  const int width = whole ? source.Width() : 0, height = whole ? source.Height() : 0;
  // Every byte is written below: the interior by the filter, the rest from
  // the source.
  if (!result.AllocateForOverwrite(width, height, 24)) return 0;
  if (width == 0 || height == 0) return 1;
  const std::uint8_t* src = source.Data();
  std::uint8_t* dst = result.Data();
  const PreparedKernel kernel(FilterTable[n]);
  const std::ptrdiff_t row = std::ptrdiff_t(width) * 3;
  const std::ptrdiff_t span = row - 6;  // interior bytes of one row

  // The border: first and last rows whole, then the first and last pixel
  // of every row between (for pictures 1 or 2 pixels wide, all of it).
  std::memcpy(dst, src, row);
  std::memcpy(dst + (height - 1) * row, src + (height - 1) * row, row);
  for (int y = 1; y + 1 < height; ++y) {
    std::memcpy(dst + y * row, src + y * row, 3);
    std::memcpy(dst + y * row + row - 3, src + y * row + row - 3, 3);
  }
  if (height < 3 || span <= 0) return 1;

  const VectorPath path = ActiveVectorPath();
#ifdef KELVRA_X86_PATHS
  if (path == VectorPath::kAvx2 && FilterInteriorAvx2(kernel, src, dst, row, height)) return 1;
#endif
  for (int y = 1; y + 1 < height; ++y) {
    const std::uint8_t* rows[3] = {src + (y - 1) * row, src + y * row, src + (y + 1) * row};
    FilterSpan(kernel, rows, dst + y * row + 3, span, path);
  }
  return 1;
}

int CombineGradients(const BmpImage& a, const BmpImage& b, BmpImage& result) {
  // Inputs lacking some of their pixels count as empty pictures.
  const bool aWhole = a.HasAllPixels(), bWhole = b.HasAllPixels();
  const int width = aWhole ? a.Width() : 0, height = aWhole ? a.Height() : 0;
  if (width != (bWhole ? b.Width() : 0) || height != (bWhole ? b.Height() : 0)) return 0;
  if (!result.Allocate(width, height, a.BitsPerPixel())) return 0;
  // Each input contributes 3 bytes per pixel; an input holding fewer (not
  // 24-bit) contributes zeros instead of being read past its end.
  const std::size_t bytes = std::size_t(width) * height * 3;
  const std::size_t aBytes = a.BitsPerPixel() == 24 ? bytes : 0;
  const std::size_t bBytes = b.BitsPerPixel() == 24 ? bytes : 0;
  std::uint8_t* out = result.Data();
  const std::size_t outBytes = std::size_t(width) * height * (a.BitsPerPixel() / 8);
  for (std::size_t i = 0; i < bytes && i < outBytes; ++i) {
    const double va = i < aBytes ? a.Data()[i] : 0.0, vb = i < bBytes ? b.Data()[i] : 0.0;
    out[i] = static_cast<std::uint8_t>(static_cast<int>(std::sqrt(va * va + vb * vb)));
  }
  return 1;
}
