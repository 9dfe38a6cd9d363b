// The indexes the collision check leans on: a mesh's edges, the boxes of
// a stroke's segments, the directions of nearly parallel segments.
#include "stroke/parallel_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <tuple>
#include <utility>

#include "stroke/edge_index.h"
#include "stroke/segment_tree.h"

namespace {

// The angle between the lines of two directions, in [0, pi/2].
double LineAngle(double ax, double ay, double bx, double by) {
  const double d = std::fabs(std::atan2(ay, ax) - std::atan2(by, bx));
  const double folded = std::fmod(d, M_PI);
  return std::min(folded, M_PI - folded);
}

// The pseudo-angles of two directions differ, the short way round, by no
// more than the angle between their lines: the window argument needs it.
TEST(ParallelIndex, PseudoAnglesDifferByNoMoreThanTheAngle) {
  std::mt19937 random(2);
  std::uniform_real_distribution<double> any(-1.0, 1.0);
  for (int i = 0; i < 100000; ++i) {
    const double ax = any(random), ay = any(random);
    // Half the pairs nearly parallel, where the rounding of both matters.
    const double bx = i % 2 ? any(random) : ax * (1 + 1e-9 * any(random)) + 1e-12 * any(random);
    const double by = i % 2 ? any(random) : ay * (1 - 1e-9 * any(random));
    const double p = ParallelIndex::PseudoAngle(ax, ay), q = ParallelIndex::PseudoAngle(bx, by);
    ASSERT_TRUE(p >= 0.0 && p < 2.0);
    const double apart = std::min(std::fabs(p - q), 2.0 - std::fabs(p - q));
    ASSERT_LE(apart, LineAngle(ax, ay, bx, by) * (1 + 1e-9) + 1e-15) << ax << " " << ay;
  }
  EXPECT_EQ(ParallelIndex::PseudoAngle(1, 0), 0.0);
  EXPECT_EQ(ParallelIndex::PseudoAngle(-1, 0), 0.0) << "a line has no direction";
  EXPECT_EQ(ParallelIndex::PseudoAngle(0, -1), 1.0);
}

struct Segment { int stroke, segment; Vec4 a, b; };

// The rule the index answers, applied to every earlier segment in turn.
bool Partners(const Segment& s, const Segment& t, double scale) {
  const double sx = double(s.b.x) - s.a.x, sy = double(s.b.y) - s.a.y;
  const double tx = double(t.b.x) - t.a.x, ty = double(t.b.y) - t.a.y;
  if ((sx == 0 && sy == 0) || (tx == 0 && ty == 0) || s.stroke == t.stroke) return false;
  if ((sy == 0 && ty == 0) || (sx == 0 && tx == 0)) return false;
  const double p = ParallelIndex::PseudoAngle(sx, sy), q = ParallelIndex::PseudoAngle(tx, ty);
  const double apart = std::min(std::fabs(p - q), 2.0 - std::fabs(p - q));
  const double slack = 0x1p-40;
  return apart <= scale / std::max(std::fabs(sx), std::fabs(sy)) + slack +
                      scale / std::max(std::fabs(tx), std::fabs(ty)) + slack;
}

using Pair = std::tuple<int, int, int, int>;  // stroke and segment of each, the earlier first

Pair Ordered(int strokeA, int segmentA, int strokeB, int segmentB) {
  return std::min(Pair{strokeA, segmentA, strokeB, segmentB},
                  Pair{strokeB, segmentB, strokeA, segmentA});
}

// Random segments, many nearly parallel (around +x, where the pseudo-angle
// wraps, and elsewhere), some along an axis, some of zero length, some so
// short that their windows span many cells or all of them; added one by
// one, or the first half filed and paired at once and the rest added. The
// pairs reported are every pair the rule takes.
TEST(ParallelIndex, ReportsExactlyThePairsWhoseWindowsOverlap) {
  std::mt19937 random(9);
  std::uniform_real_distribution<float> any(-1.0f, 1.0f), jitter(-1e-6f, 1e-6f);
  for (int trial = 0; trial < 20; ++trial) {
    SCOPED_TRACE(trial);
    const double scale = trial % 2 ? 1e-7 : 1e-10;
    const int filed = trial % 2 ? 200 : 0;
    ParallelIndex index;
    index.Reset(scale);
    std::vector<Segment> added;
    std::vector<Pair> got, want;
    for (int n = 0; n < 400; ++n) {
      Segment s{int(random() % 8), n, Vec4(any(random), any(random), 0, 0), Vec4()};
      const float length = std::pow(10.0f, -8.0f * float(random() % 1000) / 1000);
      const float directions[][2] = {{1, 0}, {1, 1e-6f}, {1, -1e-6f}, {0, 1}, {0.6f, 0.8f}};
      const int pick = random() % 6;
      const float dx = pick < 5 ? directions[pick][0] : any(random),
                  dy = pick < 5 ? directions[pick][1] : any(random);
      s.b = Vec4(s.a.x + length * dx, s.a.y + length * dy + (pick == 4 ? jitter(random) : 0), 0, 0);
      if (random() % 20 == 0) s.b = s.a;
      if (n < filed) index.File(s.stroke, s.segment, s.a, s.b);
      std::vector<std::pair<SegmentRef, SegmentRef>> pairs;
      if (n == filed && filed > 0) index.PairFiled(pairs);
      for (const auto& [p, q] : pairs)
        got.push_back(Ordered(p.stroke, p.segment, q.stroke, q.segment));
      std::vector<SegmentRef> partners;
      if (n >= filed) index.Add(s.stroke, s.segment, s.a, s.b, partners);
      for (const SegmentRef& r : partners) got.push_back(Ordered(r.stroke, r.segment, s.stroke, n));
      for (const Segment& t : added)
        if (Partners(s, t, scale)) want.push_back(Ordered(t.stroke, t.segment, s.stroke, n));
      added.push_back(s);
    }
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    ASSERT_EQ(got, want);
  }
}

// Against an ordered map on random vertex pairs, through several growths,
// a clear and pairs given in both orders: every edge keeps the number it
// first got, and pairs never inserted are not found.
TEST(EdgeIndex, AgreesWithAMapThroughGrowthAndClear) {
  std::mt19937 random(3);
  EdgeIndex index;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    std::map<std::pair<int, int>, int> expected;
    for (int i = 0; i < 50000; ++i) {
      const int a = static_cast<int>(random() % 3000), b = static_cast<int>(random() % 3000);
      const std::pair<int, int> key(std::min(a, b), std::max(a, b));
      const bool isNew = expected.emplace(key, static_cast<int>(expected.size())).second;
      bool inserted = false;
      const int number =
          index.Insert(i % 2 ? a : b, i % 2 ? b : a, isNew ? expected[key] : -5, inserted);
      ASSERT_EQ(inserted, isNew);
      ASSERT_EQ(number, expected[key]);
    }
    EXPECT_EQ(index.Size(), expected.size());
    for (const auto& [key, number] : expected) {
      ASSERT_EQ(index.Find(key.second, key.first), number);
    }
    EXPECT_EQ(index.Find(3000, 1), -1);
    EXPECT_EQ(index.Find(-1, -1), -1);
    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    EXPECT_EQ(index.Find(expected.begin()->first.first, expected.begin()->first.second), -1);
  }
  EXPECT_EQ(EdgeIndex().Find(0, 1), -1) << "an empty index finds nothing";
}

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

}  // namespace
