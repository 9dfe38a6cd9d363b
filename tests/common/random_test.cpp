#include "common/random.h"

#include <gtest/gtest.h>

TEST(Random, SequenceFromStateOneAndUnitRange) {
  RandomGenerator random;
  EXPECT_EQ(random.Next(), 41);
  EXPECT_EQ(random.Next(), 18467);
  EXPECT_EQ(random.Next(), 6334);
  EXPECT_FLOAT_EQ(RandomGenerator().Unit(), 41 * 3.0518509e-05f);
  for (int i = 0; i < 100000; ++i) {
    const float r = random.Unit();
    ASSERT_GE(r, 0.0f);
    ASSERT_LE(r, 1.0f + 1e-6f);
  }
}
