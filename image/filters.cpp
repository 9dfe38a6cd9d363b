#include "image/filters.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <vector>

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

// Copies the first and last rows and columns of a 24-bit picture.
void CopyBorder(const std::uint8_t* src, std::uint8_t* dst, int width, int height) {
  const std::size_t row = std::size_t(width) * 3;
  std::memcpy(dst, src, row);
  std::memcpy(dst + (height - 1) * row, src + (height - 1) * row, row);
  for (int y = 0; y < height; ++y) {
    std::memcpy(dst + y * row, src + y * row, 3);
    std::memcpy(dst + y * row + row - 3, src + y * row + row - 3, 3);
  }
}

}  // namespace

BmpImage SourceImage;
BmpImage FilteredImage;

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
  const int width = source.Width(), height = source.Height();
  if (!result.Allocate(width, height, 24)) return 0;
  if (width == 0 || height == 0) return 1;
  const std::uint8_t* src = source.Data();
  std::uint8_t* dst = result.Data();
  const FilterKernel& kernel = FilterTable[n];
  const int divisor = kernel.divisor;
  const std::ptrdiff_t row = std::ptrdiff_t(width) * 3;
  const std::ptrdiff_t span = row - 6;  // interior bytes of one row
  // Tap by tap over whole rows into 32-bit sums: loops the compiler turns
  // into vector code, with the same integer arithmetic as pixel by pixel.
  std::vector<std::int32_t> sums(span > 0 ? span : 0);
  for (int y = 1; y + 1 < height && span > 0; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int t = 0; t < 9; ++t) {
      const std::int32_t weight = kernel.k[t];
      if (weight == 0) continue;
      const std::uint8_t* s = src + (y - 1 + t / 3) * row + (t % 3) * 3;
      for (std::ptrdiff_t i = 0; i < span; ++i) sums[i] += weight * s[i];
    }
    std::uint8_t* d = dst + y * row + 3;
    // Quotients of 256 and more wrap to their low 8 bits (1020 → 252).
    if (divisor == 1) {
      for (std::ptrdiff_t i = 0; i < span; ++i) d[i] = static_cast<std::uint8_t>(sums[i] > 0 ? sums[i] : 0);
    } else {
      // sum / divisor as a multiply and shift: with M = ceil(2^22 / divisor)
      // the quotient is exact for every sum below 2^22 / divisor, far above
      // the largest possible sum, 255 × 20.
      const std::uint32_t m = ((1u << 22) + divisor - 1) / divisor;
      for (std::ptrdiff_t i = 0; i < span; ++i) {
        const std::uint32_t positive = static_cast<std::uint32_t>(sums[i] > 0 ? sums[i] : 0);
        d[i] = static_cast<std::uint8_t>((positive * m) >> 22);
      }
    }
  }
  CopyBorder(src, dst, width, height);
  return 1;
}

int CombineGradients(const BmpImage& a, const BmpImage& b, BmpImage& result) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 0;
  if (!result.Allocate(a.Width(), a.Height(), a.BitsPerPixel())) return 0;
  // Each input contributes 3 bytes per pixel; an input holding fewer (not
  // 24-bit, or empty) contributes zeros instead of being read past its end.
  const std::size_t bytes = std::size_t(a.Width()) * a.Height() * 3;
  const std::size_t aBytes = a.BitsPerPixel() == 24 && a.Data() ? bytes : 0;
  const std::size_t bBytes = b.BitsPerPixel() == 24 && b.Data() ? bytes : 0;
  std::uint8_t* out = result.Data();
  const std::size_t outBytes = std::size_t(a.Width()) * a.Height() * (a.BitsPerPixel() / 8);
  for (std::size_t i = 0; i < bytes && i < outBytes; ++i) {
    const double va = i < aBytes ? a.Data()[i] : 0.0, vb = i < bBytes ? b.Data()[i] : 0.0;
    out[i] = static_cast<std::uint8_t>(static_cast<int>(std::sqrt(va * va + vb * vb)));
  }
  return 1;
}
