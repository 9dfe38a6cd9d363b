#include "stroke/segment_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

std::vector<StrokeNode> RandomPath(std::mt19937& random, int points) {
  std::uniform_real_distribution<float> step(-0.05f, 0.05f), start(-1.0f, 1.0f);
  std::vector<StrokeNode> path(points);
  Vec4 at(start(random), start(random), 0, 0);
  for (StrokeNode& node : path) {
    node.position = at;
    at = Vec4(at.x + step(random), at.y + step(random), 0, 0);
  }
  return path;
}

SegmentBox Box(const std::vector<StrokeNode>& path, int k) {
  const Vec4 &a = path[k].position, &b = path[k + 1].position;
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// Every pair of segment boxes compared directly, through moves of points.
TEST(SegmentTree, FindsTheSameNearPairsAsComparingEveryBox) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> anywhere(-1.0f, 1.0f);
  for (int trial = 0; trial < 40; ++trial) {
    SCOPED_TRACE(trial);
    std::vector<StrokeNode> a = RandomPath(random, 1 + random() % 70);
    std::vector<StrokeNode> b = RandomPath(random, 1 + random() % 70);
    const float margin = (random() % 3) * 0.01f;
    SegmentTree treeA, treeB;
    treeA.Build(a);
    treeB.Build(b);
    for (int move = 0; move < 3; ++move) {
      std::vector<std::pair<int, int>> got, want;
      SegmentTree::NearPairs(treeA, treeB, margin, got);
      for (int i = 0; i + 1 < int(a.size()); ++i)
        for (int j = 0; j + 1 < int(b.size()); ++j)
          if (!BoxesApart(Box(a, i), Box(b, j), margin)) want.emplace_back(i, j);
      std::sort(got.begin(), got.end());
      ASSERT_EQ(got, want);
      if (!b.empty()) {
        std::vector<int> near, wantNear;
        const SegmentBox probe = {-0.1f, -0.1f, 0.1f, 0.2f};
        treeB.Near(probe, margin, near);
        for (int j = 0; j + 1 < int(b.size()); ++j)
          if (!BoxesApart(Box(b, j), probe, margin)) wantNear.push_back(j);
        std::sort(near.begin(), near.end());
        ASSERT_EQ(near, wantNear);
        const std::size_t k = random() % b.size();
        b[k].position = Vec4(anywhere(random), anywhere(random), 0, 0);
        treeB.PointMoved(b, k);
      }
    }
  }
}

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

}  // namespace
