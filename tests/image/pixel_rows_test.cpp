#include "image/pixel_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

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
  for (std::size_t i = 0; i < bytes; i += 3) {
    out[i] = row[i + 2];
    out[i + 1] = row[i + 1];
    out[i + 2] = row[i];
  }
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

}  // namespace
