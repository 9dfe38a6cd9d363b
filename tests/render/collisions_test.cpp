#include <gtest/gtest.h>

#include <random>

#include "app/state.h"
#include "render/collisions.h"
#include "stroke/mesh.h"

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

// The check written straight from its definition: every test divides, and
// a deflected stroke is re-meshed at each crossing.
void PlainCheckCollisions(Canvas& canvas) {
  Vec4 p;
  for (int i = 0; i < canvas.count; ++i) {
    const Stroke& under = canvas.strokes[i];
    if (under.deleted || under.path.size() < 2) continue;
    for (int j = i + 1; j < canvas.count; ++j) {
      Stroke& over = canvas.strokes[j];
      if (over.deleted) continue;
      for (std::size_t a = 0; a + 1 < under.path.size() && over.path.size() >= 2; ++a)
        for (std::size_t b = 0; b + 1 < over.path.size(); ++b) {
          if (!SegmentCrossing(under.path[a].position, under.path[a + 1].position,
                               over.path[b].position, over.path[b + 1].position, p))
            continue;
          if (b > 0) over.path[b - 1].locked = 1;
          DeflectNode(over.path[b], under.path[a].height, under.path[a].width, p, 0);
          if (b + 2 < over.path.size())
            DeflectNode(over.path[b + 1], under.path[a].height, under.path[a].width, p, 1);
          BuildMesh(over);
        }
    }
  }
}

// Random strokes on a coarse grid, so that segments often touch at their
// ends, run along each other or cross exactly at grid points: the cases
// where skipping the divisions could first disagree with them.
Canvas RandomGridCanvas(std::mt19937& random) {
  Canvas canvas;
  canvas.count = 8 + random() % 6;
  canvas.strokes.resize(canvas.count);
  for (int i = 0; i < canvas.count; ++i) {
    std::vector<Vec4> points;
    for (int k = 2 + random() % 8; k > 0; --k)
      points.push_back(Vec4((int(random() % 17) - 8) * 0.25f, (int(random() % 17) - 8) * 0.25f, 0, 0));
    Stroke& stroke = canvas.strokes[i];
    stroke = Built(points, 0.01f * (1 + random() % 9), 0.02f * (1 + random() % 5));
    stroke.shapeResolution = 3;
    stroke.profile = {0.0f, 0.5f, 0.0f};
    stroke.size.startColours = stroke.size.endColours = std::vector<Vec4>(3, Vec4(1, 1, 1, 1));
    stroke.deleted = random() % 10 == 0;
  }
  return canvas;
}

TEST(CheckCollisions, SameDeflectionsAndMeshesAsThePlainCheck) {
  ResetApplicationStateForTesting();
  std::mt19937 random(11);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    Canvas fast = RandomGridCanvas(random);
    Canvas plain = fast;
    testing::internal::CaptureStdout();
    CheckCollisions(fast);
    testing::internal::GetCapturedStdout();
    PlainCheckCollisions(plain);
    for (int i = 0; i < fast.count; ++i) {
      const Stroke &got = fast.strokes[i], &want = plain.strokes[i];
      ASSERT_EQ(got.path.size(), want.path.size());
      for (std::size_t k = 0; k < got.path.size(); ++k) {
        const StrokeNode &g = got.path[k], &w = want.path[k];
        ASSERT_EQ(g.locked, w.locked) << "stroke " << i << " point " << k;
        ASSERT_EQ(g.position.x, w.position.x);
        ASSERT_EQ(g.position.y, w.position.y);
        ASSERT_EQ(g.height, w.height);
        ASSERT_EQ(g.width, w.width);
      }
      ASSERT_EQ(got.subdivision.baseMesh.has_value(), want.subdivision.baseMesh.has_value());
      if (!got.subdivision.baseMesh) continue;
      const Mesh &gm = *got.subdivision.baseMesh, &wm = *want.subdivision.baseMesh;
      ASSERT_EQ(gm.vertexCount, wm.vertexCount);
      for (int v = 0; v < gm.vertexCount; ++v) {
        ASSERT_EQ(gm.positions[v].x, wm.positions[v].x);
        ASSERT_EQ(gm.positions[v].z, wm.positions[v].z);
      }
    }
  }
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
