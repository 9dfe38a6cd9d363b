#pragma once
// The 38 fixed 3 × 3 convolution kernels and the gradient maps.
// Kernels are applied as correlations (not flipped) to 24-bit images; pixel
// coordinates are an Image's: row 0 is the top row, so "the row above" is y − 1.

#include <cstdint>

#include "image/image.h"

struct FilterKernel {
  std::int8_t k[9];  // row above, own row, row below; left to right
  std::int8_t divisor;
};

constexpr int kFilterCount = 38;
constexpr int kFilterHorizontalSobel = 34;
constexpr int kFilterVerticalSobel = 35;

extern const FilterKernel FilterTable[kFilterCount];
// Menu label of filter n ("AVERAGE", …) and the title of its group
// ("LOW PASS FILTERS", …); nullptr outside 0..37.
const char* FilterName(int n);
const char* FilterGroupName(int n);

// result := source filtered with kernel n. Interior channels are
// sum / divisor truncated, 0 when sum ≤ 0, wrapped to 8 bits; the border is
// copied. 0 (result untouched) if the source is not 24-bit or n is unknown.
int ApplyFilter(const BmpImage& source, BmpImage& result, int n);
// result[i] = low 8 bits of (int)sqrt(a[i]² + b[i]²). 0 if sizes differ.
int CombineGradients(const BmpImage& a, const BmpImage& b, BmpImage& result);
