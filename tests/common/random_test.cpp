#include "common/random.h"

#include <gtest/gtest.h>

TEST(Random, SequenceFromStateOne) {
  RandomResetForTesting();
  EXPECT_EQ(RandomNext(), 41);
  EXPECT_EQ(RandomNext(), 18467);
  EXPECT_EQ(RandomNext(), 6334);
  RandomResetForTesting();
  EXPECT_FLOAT_EQ(RandomUnit(), 41 * 3.0518509e-05f);
}

TEST(Random, UnitStaysWithinZeroAndOne) {
  RandomResetForTesting();
  for (int i = 0; i < 100000; ++i) {
    const float r = RandomUnit();
    ASSERT_GE(r, 0.0f);
    ASSERT_LE(r, 1.0f + 1e-6f);
  }
}
