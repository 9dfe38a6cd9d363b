#include "common/vec4.h"

#include <gtest/gtest.h>

TEST(Vec4, CopyLeavesTheCachedLengthBehind) {
  Vec4 a(3, 4, 0, 0);
  EXPECT_FLOAT_EQ(a.Length(), 5.0f);
  Vec4 b = a;
  EXPECT_EQ(b.length, 0.0f);
  EXPECT_EQ(b.x, 3.0f);
  EXPECT_EQ(b.y, 4.0f);
}

TEST(Vec4, LerpTreatsZeroStepsAsOne) {
  Vec4 a(0, 0, 0, 0), b(2, 4, 6, 8);
  Vec4 half = Lerp(a, b, 1.0f, 2.0f);
  EXPECT_FLOAT_EQ(half.y, 2.0f);
  Vec4 whole = Lerp(a, b, 1.0f, 0.0f);
  EXPECT_FLOAT_EQ(whole.w, 8.0f);
  EXPECT_FLOAT_EQ(Lerp(1.0f, 3.0f, 1.0f, 0.0f), 3.0f);
}

TEST(Vec4, TriangleNormalOfCounterClockwiseTriangleInCanvasPlane) {
  // (P1 − P2) × (P0 − P1): for P0, P1, P2 counter-clockwise seen from +z the
  // normal points along −z.
  Vec4 n = TriangleNormal(Vec4(0, 0, 0, 0), Vec4(1, 0, 0, 0), Vec4(0, 1, 0, 0));
  EXPECT_EQ(n.x, 0.0f);
  EXPECT_EQ(n.y, 0.0f);
  EXPECT_LT(n.z, 0.0f);
}
