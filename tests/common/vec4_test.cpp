#include "common/vec4.h"

#include <gtest/gtest.h>

TEST(Vec4, LerpTreatsZeroStepsAsOne) {
  const Vec4 a(0, 0, 0, 0), b(2, 4, 6, 8);
  EXPECT_FLOAT_EQ(Lerp(a, b, 1.0f, 2.0f).y, 2.0f);
  EXPECT_FLOAT_EQ(Lerp(a, b, 1.0f, 0.0f).w, 8.0f);
  EXPECT_FLOAT_EQ(Lerp(1.0f, 3.0f, 1.0f, 0.0f), 3.0f);
}
