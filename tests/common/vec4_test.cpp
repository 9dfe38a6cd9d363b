#include "common/vec4.h"

#include <gtest/gtest.h>

TEST(Vec4, LerpTreatsZeroStepsAsOne) {
  Vec4 a(0, 0, 0, 0), b(2, 4, 6, 8);
  Vec4 half = Lerp(a, b, 1.0f, 2.0f);
  EXPECT_FLOAT_EQ(half.y, 2.0f);
  Vec4 whole = Lerp(a, b, 1.0f, 0.0f);
  EXPECT_FLOAT_EQ(whole.w, 8.0f);
  EXPECT_FLOAT_EQ(Lerp(1.0f, 3.0f, 1.0f, 0.0f), 3.0f);
}

// (P1 − P2) × (P0 − P1): for (0, 0, 0), (1, 0, 0), (0, 2, 0), counter-clockwise
// seen from +z, (1, −2, 0) × (−1, 0, 0) = (0, 0, −2).
TEST(Vec4, TriangleNormalOfCounterClockwiseTriangleInCanvasPlane) {
  Vec4 n = TriangleNormal(Vec4(0, 0, 0, 0), Vec4(1, 0, 0, 0), Vec4(0, 2, 0, 0));
  EXPECT_EQ(n.x, 0.0f);
  EXPECT_EQ(n.y, 0.0f);
  EXPECT_EQ(n.z, -2.0f);
}
