#include "stroke/shape.h"

#include <gtest/gtest.h>

#include <cmath>

#include "stroke/bspline.h"
#include "stroke/build.h"
#include "stroke/particles.h"
#include "tests/support/console.h"
#include "tests/support/near.h"

namespace {

Stroke StraightPath(int entries) {
  Stroke stroke;
  stroke.path.resize(entries);
  for (int i = 0; i < entries; ++i) stroke.path[i].position = Vec4(i * 0.01f, 0, 0, 0);
  return stroke;
}

// A 6 × 4 map, bottom row first: every pixel (250, 250, 250) but the middle
// row (row 2) whose columns 3 and 4 hold (10, 20, 40) and (1, 2, 200). With
// S = 6 the samples read columns 0 to 5 of row 2, the ends are 0 and the
// negative half mirrors the positive one; brightness is the sum of the
// channels × 0.0013227513: 70 → 0.09259259, 203 → 0.26851852.
TEST(SampleProfile, MiddleRowChannelSumsMirroredWithZeroEnds) {
  std::vector<std::uint8_t> rgb(6 * 4 * 3, 250);
  auto set = [&rgb](int column, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* pixel = &rgb[3 * (2 * 6 + column)];
    pixel[0] = r, pixel[1] = g, pixel[2] = b;
  };
  for (int column : {0, 1, 2, 5}) set(column, 0, 0, 0);
  set(3, 10, 20, 40);
  set(4, 1, 2, 200);
  const std::vector<float> profile = SampleProfile(rgb.data(), rgb.size(), 6, 4, 6);
  const float expected[6] = {0, 0, 0.26851852f, 0.09259259f, 0.26851852f, 0};
  for (int j = 0; j < 6; ++j) EXPECT_NEAR(profile[j], expected[j], 1e-7) << j;

  const std::uint8_t darkThenBright[6] = {0, 0, 0, 90, 90, 90};
  EXPECT_EQ(SampleProfile(darkThenBright, 6, 2, 1, 5), std::vector<float>(5, 0.0f))
      << "narrow map: every sample reads column 0";
  EXPECT_EQ(SampleProfile(nullptr, 0, 0, 0, 1), std::vector<float>{0.0f});
  EXPECT_EQ(SampleProfile(nullptr, 0, 0, 0, 4), std::vector<float>(4, 0.0f))
      << "unreadable map: flat";
  EXPECT_EQ(SampleProfile(rgb.data(), 6, 4, 4, 3), std::vector<float>(3, 0.0f))
      << "a map claiming more pixels than it holds reads as flat";
}

// Particles of a two-point path from a fresh generator, whose draws are
// 41, 18467, 6334, 26500, 19169, 15724, …, 9961, 491, 2995, 11942 (× 3.0518509e-05
// each). Particle k of a point (x, y, width w) draws r1, r2, r3:
//   centre (x + (2 r1 − 1) × 0.025 x, y + (2 r2 − 1) × 0.025 y, 0), size w (0.5 + r3).
TEST(GenerateParticles, CentresAndSizesFromTheFirstDraws) {
  Stroke stroke = StraightPath(2);
  stroke.path[0].position = Vec4(0.4f, -0.8f, 0.3f, 0), stroke.path[0].width = 0.04f;
  stroke.path[1].position = Vec4(0.0f, 0.5f, 0.0f, 0), stroke.path[1].width = 0.1f;
  StrokeSettings settings;
  settings.showParticles = 1;
  RandomGenerator random;
  Quietly([&] { GenerateParticles(stroke, settings, random, BuildHooks()); });
  const ParticleSystem& particles = stroke.particles;
  ASSERT_EQ(particles.positions.size(), 10u);
  const struct { int particle; float x, y, size; } cases[] = {
      {0, 0.39002503f, -0.80254341f, 0.02773217f},  // draws 41, 18467, 6334
      {1, 0.40617481f, -0.80340037f, 0.03919492f},  // draws 26500, 19169, 15724
      {5, 0.0f, 0.48978507f, 0.08644520f},          // draws 491, 2995, 11942; x = 0 stays 0
  };
  // 1e-6: the hand values are rounded to 8 digits, float rounding is below 1e-7.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.particle);
    const Vec4& centre = particles.positions[c.particle];
    EXPECT_TRUE(Near(centre, Vec4(c.x, c.y, 0, 0), 1e-6)) << "z is 0 whatever the point's";
    EXPECT_NEAR(particles.sizes[c.particle], c.size, 1e-6);
  }
  RandomGenerator thirty;
  for (int i = 0; i < 30; ++i) thirty.Next();
  EXPECT_EQ(random.State(), thirty.State()) << "three draws per particle, no more";
}

// Widths run from 0.04 down to 0 along 100 entries, tapered from nothing
// over the first 25 and ending in a point; heights run from 0.025 without a
// taper. By hand: entry 10 is 0.04 × 0.9 × 10/25 = 0.0144, entry 50 is
// 0.02, entry 98 is 0.04 × 0.02 = 0.0008.
TEST(BuildPerpendiculars, WidthsTaperAtTheStartAndEndInAPoint) {
  Stroke stroke = StraightPath(100);
  RandomGenerator random;
  BuildPerpendiculars(stroke, StrokeSettings(), random);
  const struct { int entry; float width, height; } cases[] = {
      {0, 0, 0.025f}, {10, 0.0144f, 0.0225f}, {50, 0.02f, 0.0125f}, {98, 0.0008f, 0.0005f},
      {99, 0, 0.00025f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    const StrokeNode& node = stroke.path[c.entry];
    EXPECT_NEAR(node.width, c.width, 1e-7);
    EXPECT_EQ(node.baseWidth, node.width);
    EXPECT_NEAR(node.height, c.height, 1e-7);
    EXPECT_FLOAT_EQ(node.perpendicular.y, -1.0f) << "path along +x turns to −y";
  }
}

// With "R" on, entry i of m = 4 draws r1, r2 and its width and height
// become w (0.875 + 0.25 r1) and h (0.875 + 0.25 r2): ±12.5 % around the
// straight-line sizes w = 0.04 (1 − i/4), h = 0.025 (1 − i/4). No taper
// (end node 0); the last entry's width is 0 all the same. Draws 41, 18467,
// 6334, 26500, 19169, 15724, 11478, 29358 (× 3.0518509e-05).
TEST(BuildPerpendiculars, RandomSizesByHand) {
  Stroke stroke = StraightPath(4);
  StrokeSettings settings;
  settings.randomSize = 1;
  settings.endNode = 0;
  RandomGenerator random;
  BuildPerpendiculars(stroke, settings, random);
  const float widths[4] = {0.03501251f, 0.02769978f, 0.02042505f, 0.0f};
  const float heights[4] = {0.02539741f, 0.02019722f, 0.01243710f, 0.00686869f};
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(std::fabs(stroke.path[i].width - widths[i]) < 1e-7 &&
                std::fabs(stroke.path[i].height - heights[i]) < 1e-7) << i;
}

TEST(BuildPerpendiculars, DegeneratePathsNeverProduceNaN) {
  StrokeSettings jittered;
  jittered.randomSize = 1;
  RandomGenerator random;
  Stroke still = StraightPath(6), pause = StraightPath(5);
  for (StrokeNode& node : still.path) node.position = Vec4(0.3f, 0.3f, 0, 0);
  pause.path.insert(pause.path.begin() + 2, pause.path[2]);
  std::vector<Stroke> cases = {StraightPath(2), still, pause};
  for (Stroke& stroke : cases) {
    BuildPerpendiculars(stroke, jittered, random);
    for (const StrokeNode& n : stroke.path)
      EXPECT_TRUE(std::isfinite(n.perpendicular.x + n.perpendicular.y + n.width + n.height));
  }
  EXPECT_FLOAT_EQ(cases[0].path[1].perpendicular.y, -1.0f) << "two entries: forward difference";
}

Stroke StrokeThrough(const std::vector<Vec4>& points) {
  Stroke stroke;
  for (const Vec4& p : points) AddNode(stroke, p);
  return stroke;
}

// Hand values pin the clamped knots, which both curves below share.
TEST(BSpline, HandComputedPaths) {
  Stroke arc = StrokeThrough({Vec4(-0.5f, 0, 0, 0), Vec4(0, 0.5f, 0, 0), Vec4(0.5f, 0, 0, 0)});
  BuildPath(arc, 5);
  ASSERT_EQ(arc.path.size(), 5u);
  const struct { int index; double x, y; } expected[] = {
      {0, -0.5, 0}, {1, -0.393222, 0.0923834}, {4, -0.0947522, 0.218659}};
  for (const auto& e : expected) {
    EXPECT_NEAR(arc.path[e.index].position.x, e.x, 1e-6) << e.index;
    EXPECT_NEAR(arc.path[e.index].position.y, e.y, 1e-6) << e.index;
  }

  Stroke line = StrokeThrough(
      {Vec4(0.1f, 0, 0, 0), Vec4(0.2f, 0, 0, 0), Vec4(0.3f, 0, 0, 0), Vec4(0.4f, 0, 0, 0)});
  BuildPath(line, 1);
  ASSERT_EQ(line.path.size(), 2u);
  EXPECT_FLOAT_EQ(line.path[0].position.x, 0.1f);
  EXPECT_NEAR(line.path[1].position.x, 0.248148, 1e-6);
  EXPECT_EQ(line.path[1].position.y, 0.0f);
  EXPECT_EQ(line.nodes.size(), 4u) << "nodes are never changed by a build";

  BuildPath(line, 1);
  EXPECT_EQ(line.path.size(), 2u) << "a rebuild reads the nodes, not the old path";
  Stroke two = StrokeThrough({Vec4(0, 0, 0, 0), Vec4(1, 1, 0, 0)});
  BuildPath(two, 5);
  EXPECT_TRUE(two.path.empty());
}

}  // namespace
