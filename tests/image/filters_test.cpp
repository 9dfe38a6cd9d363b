// The filters and the row conversions, each on every vector path this
// processor has against a plain definition.
#include "image/filters.h"

#include <gtest/gtest.h>

#include <random>

#include "image/pixel_rows.h"
#include "image/vector_paths.h"
#include "tests/support/pictures.h"

namespace {

// Runs `check` once per vector path this processor has, each one active.
template <class Check>
void OnEveryPath(Check check) {
  for (VectorPath path : {VectorPath::kPlain, VectorPath::kSse2, VectorPath::kAvx2}) {
    if (!VectorPathAvailable(path)) continue;
    SCOPED_TRACE(testing::Message() << "vector path " << static_cast<int>(path));
    UseVectorPathForTesting(path);
    check();
  }
  UseVectorPathForTesting(VectorPath::kAvx2);  // back to the widest
}

// `row`'s first `bytes` bytes with each pixel's first and third swapped,
// then `guard`'s bytes past them.
Bytes Converted(const Bytes& row, const Bytes& guard, std::size_t bytes) {
  Bytes out = guard;
  for (std::size_t i = 0; i < bytes; i += 3)
    out[i] = row[i + 2], out[i + 1] = row[i + 1], out[i + 2] = row[i];
  return out;
}

// Row lengths around the 16-pixel vector steps, each conversion checked
// against the plain swap, with guard bytes past the end that must survive.
TEST(PixelRows, EveryLengthEqualsThePlainSwap) {
  OnEveryPath([] {
    std::mt19937 random(11);
    for (std::size_t pixels = 0; pixels <= 53; ++pixels) {
      SCOPED_TRACE(pixels);
      const std::size_t bytes = 3 * pixels;
      Bytes a(bytes + 5), b(bytes + 5);
      for (Bytes* row : {&a, &b})
        for (auto& v : *row) v = static_cast<std::uint8_t>(random());
      const Bytes oldA = a, oldB = b;
      Bytes copy = b;
      CopyBgrToRgb(a.data(), copy.data(), pixels);
      EXPECT_EQ(copy, Converted(oldA, oldB, bytes));
      ExchangeRowsBgrToRgb(a.data(), b.data(), pixels);
      EXPECT_EQ(a, Converted(oldB, oldA, bytes));
      EXPECT_EQ(b, Converted(oldA, oldB, bytes));
      // One row exchanged with itself is converted in place.
      const Bytes before = b;
      ExchangeRowsBgrToRgb(b.data(), b.data(), pixels);
      EXPECT_EQ(b, Converted(before, before, bytes));
    }
  });
}


int At(const BmpImage& image, int x, int y) { return image.Data()[(y * image.Width() + x) * 3]; }

// The filter written straight from its definition.
BmpImage PlainFilter(const BmpImage& source, int n) {
  BmpImage result;
  result.CopyFrom(source);
  const FilterKernel& kernel = FilterTable[n];
  const int w = source.Width();
  for (int y = 1; y + 1 < source.Height(); ++y)
    for (int x = 1; x + 1 < w; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            sum += kernel.k[(dy + 1) * 3 + dx + 1] * source.Data()[((y + dy) * w + x + dx) * 3 + c];
        result.Data()[(y * w + x) * 3 + c] =
            sum > 0 ? static_cast<std::uint8_t>(sum / kernel.divisor) : 0;
      }
  return result;
}

TEST(ApplyFilter, HandComputedCases) {
  BmpImage result;
  const BmpImage grey = GreyPicture(6, 5, [](int, int) { return 100; });
  ASSERT_EQ(ApplyFilter(grey, result, kFilterHorizontalSobel), 1);
  EXPECT_EQ(At(result, 2, 2), 0);
  EXPECT_EQ(At(result, 0, 2), 100) << "border copied";
  ASSERT_EQ(ApplyFilter(grey, result, 0), 1);
  EXPECT_EQ(At(result, 2, 2), 100);

  const BmpImage halves = GreyPicture(6, 4, [](int x, int) { return x < 3 ? 255 : 0; });
  ASSERT_EQ(ApplyFilter(halves, result, kFilterVerticalSobel), 1);
  EXPECT_EQ((std::vector<int>{At(result, 1, 1), At(result, 2, 1), At(result, 3, 1)}),
            (std::vector<int>{0, 252, 252}))
      << "1020 wraps to its low 8 bits";
  const BmpImage mirrored = GreyPicture(6, 4, [](int x, int) { return x < 3 ? 0 : 255; });
  ASSERT_EQ(ApplyFilter(mirrored, result, kFilterVerticalSobel), 1);
  EXPECT_EQ(At(result, 2, 1) + At(result, 3, 1), 0) << "negative sums give 0";

  const BmpImage dot = GreyPicture(5, 5, [](int x, int y) { return x == 2 && y == 2 ? 255 : 0; });
  ASSERT_EQ(ApplyFilter(dot, result, 4), 1);
  EXPECT_EQ((std::vector<int>{At(result, 2, 2), At(result, 2, 1), At(result, 1, 1)}),
            (std::vector<int>{63, 31, 15}));

  const BmpImage tiny = GreyPicture(2, 2, [](int x, int y) { return 10 * x + y; });
  ASSERT_EQ(ApplyFilter(tiny, result, 13), 1);
  EXPECT_EQ(Pixels(result), Pixels(tiny));

  // Sources not of 24 bits are refused, the result left alone.
  BmpImage deep;
  deep.Allocate(4, 4, 32);
  EXPECT_EQ(ApplyFilter(deep, result, 0), 0);
  EXPECT_EQ(ApplyFilter(BmpImage(), result, 0), 0);
  EXPECT_EQ(Pixels(result), Pixels(tiny));
}

// Every vector path against the plain definition, on pictures whose three
// channels differ. Widths from 1 to 130 pixels give rows with no interior,
// rows shorter than one vector step and rows of several steps with a part
// step at the end; pictures of only 0 and 255 reach the largest sums, where
// a 16-bit lane or the reciprocal division would first go wrong. The result
// image is reused, filled with a marker before each call, so that a byte the
// filter forgets to write shows.
TEST(ApplyFilter, EveryVectorPathEqualsThePlainDefinitionOnRandomImages) {
  OnEveryPath([] {
    std::mt19937 random(7);
    BmpImage result;
    for (int trial = 0; trial < 16; ++trial) {
      const int width = 1 + random() % (trial < 6 ? 23 : 130), height = 1 + random() % 19;
      const bool extremes = trial % 2 == 1;
      BmpImage source;
      source.Allocate(width, height, 24);
      for (int i = 0; i < width * height * 3; ++i)
        source.Data()[i] = static_cast<std::uint8_t>(extremes ? random() % 2 * 255 : random());
      for (int n = 0; n < kFilterCount; ++n) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << ", filter " << n);
        result.Allocate(width, height, 24);
        for (int i = 0; i < width * height * 3; ++i) result.Data()[i] = 0xA5;
        ASSERT_EQ(ApplyFilter(source, result, n), 1);
        ASSERT_EQ(Pixels(result), Pixels(PlainFilter(source, n)));
      }
    }
  });
}

TEST(CombineGradients, MagnitudeWrapsAndSizesMustMatch) {
  const BmpImage a = GreyPicture(2, 1, [](int x, int) { return x ? 255 : 3; });
  const BmpImage b = GreyPicture(2, 1, [](int x, int) { return x ? 255 : 4; });
  BmpImage result;
  ASSERT_EQ(CombineGradients(a, b, result), 1);
  EXPECT_EQ(Pixels(result), (Bytes{5, 5, 5, 360 % 256, 360 % 256, 360 % 256}));
  EXPECT_EQ(CombineGradients(a, GreyPicture(3, 1, [](int, int) { return 0; }), result), 0);
  BmpImage empty;
  EXPECT_EQ(CombineGradients(BmpImage(), BmpImage(), empty), 1) << "two failed loads still combine";
  EXPECT_EQ(empty.Width(), 0);
}

}  // namespace
