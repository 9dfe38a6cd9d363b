// One crossing worked out by hand, with start and end factors that differ
// (the defaults are all equal, which would hide a factor used in the wrong
// place).
#include <gtest/gtest.h>

#include "stroke/collisions.h"

namespace {

StrokeNode Node(float x, float y, float height, float width) {
  StrokeNode node;
  node.position = Vec4(x, y, 0, 0);
  node.height = node.baseHeight = height;
  node.width = node.baseWidth = width;
  return node;
}

// Stroke 1 runs along x through the origin, height 0.1 and width 0.2 at its
// first point; stroke 2 runs up x = 0 and crosses it in its first segment.
// Its first point moves onto the crossing and rises and widens by the start
// factors times stroke 1's height and width: 2 × 0.1 + 0.01 = 0.21,
// 1.5 × 0.2 + 0.02 = 0.32. The point after it sinks and narrows by the end
// factors: 0.03 − 0.25 × 0.1 = 0.005, 0.04 − 0.5 × 0.2 = −0.06.
TEST(CheckCollisions, CrossingRisesByTheStartFactorsTheNextPointSinksByTheEndFactors) {
  Canvas canvas;
  canvas.strokes[0].path = {Node(-0.5f, 0, 0.1f, 0.2f), Node(0.5f, 0, 0.1f, 0.2f)};
  canvas.strokes[1].path = {Node(0, -0.5f, 0.01f, 0.02f), Node(0, 0.5f, 0.03f, 0.04f),
                            Node(0, 0.9f, 0.05f, 0.06f)};
  canvas.count = 2;
  CollisionFactors factors;
  factors.widthStart = 1.5f, factors.widthEnd = 0.5f;
  factors.heightStart = 2.0f, factors.heightEnd = 0.25f;
  testing::internal::CaptureStdout();
  CheckCollisions(canvas, factors, 0);
  testing::internal::GetCapturedStdout();

  const std::vector<StrokeNode>& over = canvas.strokes[1].path;
  EXPECT_FLOAT_EQ(over[0].position.x, 0.0f);
  EXPECT_FLOAT_EQ(over[0].position.y, 0.0f);
  EXPECT_FLOAT_EQ(over[0].height, 0.21f);
  EXPECT_FLOAT_EQ(over[0].width, 0.32f);
  EXPECT_FLOAT_EQ(over[1].position.y, 0.5f) << "the following point stays where it is";
  EXPECT_FLOAT_EQ(over[1].height, 0.005f);
  EXPECT_FLOAT_EQ(over[1].width, -0.06f);
  EXPECT_EQ(over[0].locked + over[1].locked + over[2].locked, 2u);
  EXPECT_FLOAT_EQ(over[2].height, 0.05f) << "beyond the crossing nothing changes";
  EXPECT_FLOAT_EQ(canvas.strokes[0].path[0].height, 0.1f) << "the earlier stroke stays";
}

}  // namespace
