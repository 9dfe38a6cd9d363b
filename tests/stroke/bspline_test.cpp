#include "stroke/bspline.h"

#include <gtest/gtest.h>

#include "stroke/build.h"

namespace {

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
