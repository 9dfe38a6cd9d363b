#include "stroke/segment_tree.h"

#include <gtest/gtest.h>

// That the tree finds every near pair, through moves of points, is checked
// where the collision check is compared with the plain one on random
// strokes (tests/stroke/collisions_test.cpp).
TEST(SegmentTree, BoxesApartIsStrictAndEmptyBoxesAreApart) {
  const SegmentBox unit = {0, 0, 1, 1};
  EXPECT_FALSE(BoxesApart(unit, {1.5f, 0, 2, 1}, 0.5)) << "exactly the margin apart";
  EXPECT_TRUE(BoxesApart(unit, {1.5f, 0, 2, 1}, 0.4375));
  EXPECT_TRUE(BoxesApart(unit, {0, -2, 1, -1.25f}, 0.125)) << "apart along y";
  SegmentTree empty;
  empty.Build({});
  EXPECT_EQ(empty.SegmentCount(), 0);
  EXPECT_TRUE(BoxesApart(empty.Whole(), unit, 1e30f));
}
