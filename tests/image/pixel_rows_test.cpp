#include "image/pixel_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/vector_paths.h"

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

std::vector<std::uint8_t> Swapped(std::vector<std::uint8_t> bytes) {
  for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) std::swap(bytes[i], bytes[i + 2]);
  return bytes;
}

TEST(PixelRows, HandComputedPixels) {
  OnEveryPath([] {
    const std::vector<std::uint8_t> bgr = {1, 2, 3, 4, 5, 6};
    std::vector<std::uint8_t> rgb(6, 0);
    CopyBgrToRgb(bgr.data(), rgb.data(), 2);
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4}));
    std::vector<std::uint8_t> a = {1, 2, 3}, b = {7, 8, 9};
    ExchangeRowsBgrToRgb(a.data(), b.data(), 1);
    EXPECT_EQ(a, (std::vector<std::uint8_t>{9, 8, 7}));
    EXPECT_EQ(b, (std::vector<std::uint8_t>{3, 2, 1}));
  });
}

// Row lengths around the 16-pixel vector steps, each conversion checked
// against the plain swap, with guard bytes past the end that must survive.
TEST(PixelRows, EveryLengthEqualsThePlainSwap) {
  OnEveryPath([] {
    std::mt19937 random(11);
    for (std::size_t pixels = 0; pixels <= 53; ++pixels) {
      SCOPED_TRACE(pixels);
      const std::size_t bytes = 3 * pixels, guard = 5;
      std::vector<std::uint8_t> a(bytes + guard), b(bytes + guard);
      for (auto& v : a) v = static_cast<std::uint8_t>(random());
      for (auto& v : b) v = static_cast<std::uint8_t>(random());
      const std::vector<std::uint8_t> rowA(a.begin(), a.begin() + bytes);
      const std::vector<std::uint8_t> rowB(b.begin(), b.begin() + bytes);
      const std::vector<std::uint8_t> guardA(a.begin() + bytes, a.end());
      const std::vector<std::uint8_t> guardB(b.begin() + bytes, b.end());

      std::vector<std::uint8_t> copy = b;
      CopyBgrToRgb(a.data(), copy.data(), pixels);
      EXPECT_EQ(std::vector<std::uint8_t>(copy.begin(), copy.begin() + bytes), Swapped(rowA));
      EXPECT_EQ(std::vector<std::uint8_t>(copy.begin() + bytes, copy.end()), guardB);

      ExchangeRowsBgrToRgb(a.data(), b.data(), pixels);
      EXPECT_EQ(a, [&] {
        std::vector<std::uint8_t> expected = Swapped(rowB);
        expected.insert(expected.end(), guardA.begin(), guardA.end());
        return expected;
      }());
      EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + bytes), Swapped(rowA));

      // One row exchanged with itself is converted in place.
      ExchangeRowsBgrToRgb(b.data(), b.data(), pixels);
      EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + bytes), rowA);
      EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + bytes, b.end()), guardB);
    }
  });
}

}  // namespace
