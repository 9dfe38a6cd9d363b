#include <gtest/gtest.h>

#include "app/state.h"
#include "render/collisions.h"

namespace {

Stroke Built(std::vector<Vec4> points, float height, float width) {
  Stroke stroke;
  for (const Vec4& p : points) {
    StrokeNode node;
    node.position = p;
    node.height = node.baseHeight = height;
    node.width = node.baseWidth = width;
    node.perpendicular = Vec4(0, 1, 0, 0);
    stroke.path.push_back(node);
  }
  return stroke;
}

Canvas XCanvas() {
  Canvas canvas;
  canvas.strokes.resize(3);
  canvas.strokes[0] = Built({Vec4(-1, -1, 0, 0), Vec4(0, 0, 0, 0), Vec4(1, 1, 0, 0)}, 0.2f, 0.1f);
  canvas.strokes[1] = Built({Vec4(-1, 0.5f, 0, 0), Vec4(-0.5f, 0.5f, 0, 0), Vec4(0.5f, -0.5f, 0, 0),
                             Vec4(1, -0.5f, 0, 0)},
                            0.05f, 0.03f);
  canvas.count = 2;
  return canvas;
}

TEST(SegmentCrossing, InclusiveEndsAndParallelNever) {
  Vec4 p;
  EXPECT_TRUE(SegmentCrossing(Vec4(0, 0, 0, 0), Vec4(2, 2, 0, 0), Vec4(0, 2, 0, 0), Vec4(2, 0, 0, 0), p));
  EXPECT_FLOAT_EQ(p.x, 1.0f);
  EXPECT_TRUE(SegmentCrossing(Vec4(0, 0, 0, 0), Vec4(2, 0, 0, 0), Vec4(1, 1, 0, 0), Vec4(1, 0, 0, 0), p))
      << "ending on the other segment counts";
  EXPECT_FALSE(SegmentCrossing(Vec4(0, 0, 0, 0), Vec4(2, 0, 0, 0), Vec4(0, 0, 0, 0), Vec4(3, 0, 0, 0), p))
      << "overlapping parallels never cross";
  EXPECT_FALSE(SegmentCrossing(Vec4(0, 0, 0, 0), Vec4(1, 0, 0, 0), Vec4(2, 1, 0, 0), Vec4(2, -1, 0, 0), p));
}

TEST(CheckCollisions, LaterStrokePilesUpOnTheEarlierOne) {
  ResetApplicationStateForTesting();
  Canvas canvas = XCanvas();
  const Stroke first = canvas.strokes[0];
  testing::internal::CaptureStdout();
  CheckCollisions(canvas);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\tChecking for Collisions: \r\r\t0.00\r\r\t50.00\tDone!\n");
  const Stroke& over = canvas.strokes[1];
  // B's middle segment crosses A at the origin: B[1] moves there and rises.
  EXPECT_FLOAT_EQ(over.path[1].position.x, 0.0f);
  EXPECT_FLOAT_EQ(over.path[1].position.y, 0.0f);
  EXPECT_FLOAT_EQ(over.path[1].height, 1.021f * 0.2f + 0.05f);
  EXPECT_FLOAT_EQ(over.path[1].width, 1.021f * 0.1f + 0.03f);
  EXPECT_FLOAT_EQ(over.path[2].height, 0.05f - 1.021f * 0.2f);
  EXPECT_EQ(over.path[0].locked, 1u);
  EXPECT_EQ(over.path[1].locked, 1u);
  EXPECT_EQ(over.path[2].locked, 1u);
  EXPECT_EQ(over.path[3].locked, 0u);
  EXPECT_TRUE(over.subdivision.baseMesh.has_value()) << "re-meshed";
  for (std::size_t i = 0; i < first.path.size(); ++i)
    EXPECT_EQ(canvas.strokes[0].path[i].height, first.path[i].height) << "the earlier stroke is unchanged";

  const Stroke afterFirstRun = canvas.strokes[1];
  testing::internal::CaptureStdout();
  CheckCollisions(canvas);
  testing::internal::GetCapturedStdout();
  for (std::size_t i = 0; i < over.path.size(); ++i) {
    EXPECT_EQ(canvas.strokes[1].path[i].height, afterFirstRun.path[i].height) << "locked points stay";
    EXPECT_EQ(canvas.strokes[1].path[i].position.x, afterFirstRun.path[i].position.x);
  }
}

TEST(CheckCollisions, DeletedStrokesAndFewStrokesTakeNoPart) {
  Canvas canvas = XCanvas();
  canvas.strokes[0].deleted = 1;
  testing::internal::CaptureStdout();
  CheckCollisions(canvas);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(canvas.strokes[1].path[1].locked, 0u);
  canvas.count = 1;
  testing::internal::CaptureStdout();
  CheckCollisions(canvas);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\tChecking for Collisions: ");
}

TEST(CheckCollisions, CrossingOnTheLastSegmentLeavesTheLastPointFree) {
  Canvas canvas;
  canvas.strokes.resize(2);
  canvas.strokes[0] = Built({Vec4(0.5f, -1, 0, 0), Vec4(0.5f, 1, 0, 0)}, 0.1f, 0.1f);
  canvas.strokes[1] = Built({Vec4(-1, 0, 0, 0), Vec4(0, 0, 0, 0), Vec4(1, 0.1f, 0, 0)}, 0.1f, 0.1f);
  canvas.count = 2;
  testing::internal::CaptureStdout();
  CheckCollisions(canvas);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(canvas.strokes[1].path[0].locked, 1u);
  EXPECT_EQ(canvas.strokes[1].path[1].locked, 1u);
  EXPECT_EQ(canvas.strokes[1].path[2].locked, 0u);
  EXPECT_FLOAT_EQ(canvas.strokes[1].path[1].position.x, 0.5f);
}

TEST(ComputeBounds, EnclosesRaisedVerticesOnly) {
  Stroke stroke;
  Mesh mesh;
  mesh.vertexCount = 4;
  mesh.positions = {Vec4(5, 5, 0, 0), Vec4(0.1f, 0.2f, 0.3f, 0), Vec4(-0.4f, 0.5f, 0.1f, 0), Vec4(9, 9, 0, 0)};
  stroke.subdivision.baseMesh = mesh;
  ComputeBounds(stroke);
  // Seeded from vertex 0 whatever it is, then the raised vertices only.
  EXPECT_FLOAT_EQ(stroke.bounds[0].x, -0.4f);
  EXPECT_FLOAT_EQ(stroke.bounds[0].y, 0.2f);
  EXPECT_FLOAT_EQ(stroke.bounds[2].x, 5.0f);
  EXPECT_FLOAT_EQ(stroke.bounds[2].y, 5.0f);
  Stroke empty;
  empty.bounds[0].x = 7;
  ComputeBounds(empty);
  EXPECT_EQ(empty.bounds[0].x, 7.0f);
}

}  // namespace
