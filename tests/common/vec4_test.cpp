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
