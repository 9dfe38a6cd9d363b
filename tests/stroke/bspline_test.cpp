#include "stroke/bspline.h"

#include <gtest/gtest.h>

#include <random>

#include "stroke/build.h"

namespace {

// The curve point summing every control point's basis function, as the
// definition states; the real one skips those that vanish.
Vec4 PlainPoint(double v, const std::vector<Vec4>& control, const std::vector<int>& knots) {
  float x = 0, y = 0, z = 0;
  for (std::size_t i = 0; i < control.size(); ++i) {
    const double blend = BSplineBlend(static_cast<int>(i), 4, v, knots);
    x += control[i].x * blend;
    y += control[i].y * blend;
    z += control[i].z * blend;
  }
  return Vec4(x, y, z, 0);
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
  const struct {
    int index;
    double x, y;
  } expected[] = {{0, -0.5, 0}, {1, -0.393222, 0.0923834}, {4, -0.0947522, 0.218659}};
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

TEST(BSpline, SkippingZeroBasisFunctionsIsBitExact) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
  for (int trial = 0; trial < 40; ++trial) {
    const int nodes = 3 + static_cast<int>(random() % 40);
    const int lod = 1 + static_cast<int>(random() % 64);
    std::vector<Vec4> control;
    for (int i = 0; i < nodes; ++i)
      control.emplace_back(coordinate(random), coordinate(random), coordinate(random), 0);
    control.emplace_back(0, 0, 0, 0);
    const std::vector<int> knots = BSplineKnots(nodes, 4);
    const std::vector<Vec4> curve = BSplineCurve(control, 4, lod * nodes);
    double v = 0.0;
    const double increment = static_cast<double>(nodes - 2) / (lod * nodes - 1);
    for (int k = 0; k + 1 < lod * nodes; ++k, v += increment) {
      const Vec4 plain = PlainPoint(v, control, knots);
      ASSERT_TRUE(curve[k].x == plain.x && curve[k].y == plain.y && curve[k].z == plain.z)
          << "trial " << trial << " sample " << k;
    }
  }
}

}  // namespace
