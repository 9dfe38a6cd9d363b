#include "stroke/shape.h"

#include <gtest/gtest.h>

#include <cmath>

#include "stroke/build.h"

namespace {

// Profile of S samples from a one-row map whose column x has brightness
// 10·x in each channel.
std::vector<float> ProfileOfRamp(int width, int s) {
  std::vector<std::uint8_t> rgb;
  for (int x = 0; x < width; ++x) rgb.insert(rgb.end(), 3, static_cast<std::uint8_t>(10 * x));
  return SampleProfile(rgb.data(), rgb.size(), width, 1, s);
}

float Sample(int x) { return static_cast<float>(30 * x) * 0.0013227513f; }

TEST(SampleProfile, EndsZeroAndNegativeHalfMirrored) {
  EXPECT_EQ(ProfileOfRamp(6, 6), (std::vector<float>{0, 0, Sample(4), Sample(3), Sample(4), 0}));
  EXPECT_EQ(ProfileOfRamp(5, 5), (std::vector<float>{0, 0, Sample(2), Sample(3), 0}));
  EXPECT_EQ(ProfileOfRamp(2, 5)[2], 0.0f) << "narrow map: every sample reads column 0";
  EXPECT_EQ(SampleProfile(nullptr, 0, 0, 0, 1), std::vector<float>{0.0f});
  EXPECT_EQ(SampleProfile(nullptr, 0, 0, 0, 4), std::vector<float>(4, 0.0f))
      << "unreadable map: flat";
  const std::uint8_t twoPixels[6] = {};
  EXPECT_EQ(SampleProfile(twoPixels, 6, 4, 4, 3), std::vector<float>(3, 0.0f))
      << "a map claiming more pixels than it holds reads as flat";
}

Stroke StraightPath(int entries) {
  Stroke stroke;
  stroke.path.resize(entries);
  for (int i = 0; i < entries; ++i) stroke.path[i].position = Vec4(i * 0.01f, 0, 0, 0);
  return stroke;
}

TEST(BuildPerpendiculars, WidthsTaperAtTheStartAndEndInAPoint) {
  Stroke stroke = StraightPath(100);
  RandomGenerator random;
  BuildPerpendiculars(stroke, StrokeSettings(), random);
  for (int i = 0; i < 100; ++i) {
    SCOPED_TRACE(i);
    const float i_f = static_cast<float>(i);
    float expected = 0.04f + (0.0f - 0.04f) * (i_f / 100.0f);
    if (i < 25) expected = expected * (i_f / 25.0f);
    if (i == 99) expected = 0.0f;
    EXPECT_FLOAT_EQ(stroke.path[i].width, expected);
    EXPECT_EQ(stroke.path[i].baseWidth, stroke.path[i].width);
    EXPECT_FLOAT_EQ(stroke.path[i].height, 0.025f - 0.025f * (i_f / 100.0f))
        << "heights never taper";
    EXPECT_FLOAT_EQ(stroke.path[i].perpendicular.y, -1.0f) << "path along +x turns to −y";
  }
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
    for (const StrokeNode& node : stroke.path) {
      EXPECT_TRUE(std::isfinite(node.perpendicular.x) && std::isfinite(node.perpendicular.y));
      EXPECT_TRUE(std::isfinite(node.width) && std::isfinite(node.height));
    }
  }
  EXPECT_FLOAT_EQ(cases[0].path[1].perpendicular.y, -1.0f) << "two entries: forward difference";
}

}  // namespace
