#include "stroke/collisions.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

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

// Canvases are checked quietly; the console lines have a test of their own.
void Check(Canvas& canvas) {
  testing::internal::CaptureStdout();
  CheckCollisions(canvas, CollisionFactors(), 0);
  testing::internal::GetCapturedStdout();
}

TEST(SegmentCrossing, InclusiveEndsAndParallelNever) {
  const struct {
    Vec4 a, b, c, d;
    bool crosses;
  } cases[] = {
      {Vec4(0, 0, 0, 0), Vec4(2, 2, 0, 0), Vec4(0, 2, 0, 0), Vec4(2, 0, 0, 0), true},
      {Vec4(0, 0, 0, 0), Vec4(2, 0, 0, 0), Vec4(1, 1, 0, 0), Vec4(1, 0, 0, 0),
       true},  // ends on the other
      {Vec4(0, 0, 0, 0), Vec4(2, 0, 0, 0), Vec4(0, 0, 0, 0), Vec4(3, 0, 0, 0),
       false},  // overlapping parallels
      {Vec4(0, 0, 0, 0), Vec4(1, 0, 0, 0), Vec4(2, 1, 0, 0), Vec4(2, -1, 0, 0), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Vec4 p;
    EXPECT_EQ(SegmentCrossing(c.a, c.b, c.c, c.d, p), c.crosses);
    if (c.crosses) {
      EXPECT_FLOAT_EQ(p.x, 1.0f);
    }
  }
}

TEST(CheckCollisions, LaterStrokePilesUpOnTheEarlierOneAndLockedPointsStay) {
  Canvas canvas;
  canvas.count = 2;
  canvas.strokes = {Built({Vec4(-1, -1, 0, 0), Vec4(0, 0, 0, 0), Vec4(1, 1, 0, 0)}, 0.2f, 0.1f),
                    Built({Vec4(-1, 0.5f, 0, 0), Vec4(-0.5f, 0.5f, 0, 0), Vec4(0.5f, -0.5f, 0, 0),
                           Vec4(1, -0.5f, 0, 0)},
                          0.05f, 0.03f)};
  testing::internal::CaptureStdout();
  CheckCollisions(canvas, CollisionFactors(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\tChecking for Collisions: \r\r\t0.00\r\r\t50.00\tDone!\n");
  const Stroke& over = canvas.strokes[1];
  // B's middle segment crosses A at the origin: B[1] moves there and rises.
  EXPECT_FLOAT_EQ(over.path[1].position.x, 0.0f);
  EXPECT_FLOAT_EQ(over.path[1].position.y, 0.0f);
  EXPECT_FLOAT_EQ(over.path[1].height, 1.021f * 0.2f + 0.05f);
  EXPECT_FLOAT_EQ(over.path[1].width, 1.021f * 0.1f + 0.03f);
  EXPECT_FLOAT_EQ(over.path[2].height, 0.05f - 1.021f * 0.2f);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(over.path[k].locked, k < 3 ? 1u : 0u) << k;
  EXPECT_TRUE(over.subdivision.baseMesh.has_value()) << "re-meshed";

  const Stroke afterFirstRun = over;
  for (StrokeNode& node : canvas.strokes[0].path) node.height *= 2;  // would deflect differently
  Check(canvas);
  for (std::size_t i = 0; i < over.path.size(); ++i) {
    EXPECT_EQ(over.path[i].height, afterFirstRun.path[i].height) << "locked points stay";
    EXPECT_EQ(over.path[i].position.x, afterFirstRun.path[i].position.x);
  }
  canvas.count = 1;
  testing::internal::CaptureStdout();
  CheckCollisions(canvas, CollisionFactors(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\tChecking for Collisions: ")
      << "one stroke: no progress";
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
          DeflectNode(over.path[b], under.path[a].height, under.path[a].width, p, kDeflectCrossing,
                      CollisionFactors());
          if (b + 2 < over.path.size())
            DeflectNode(over.path[b + 1], under.path[a].height, under.path[a].width, p,
                        kDeflectFollowing, CollisionFactors());
          BuildMesh(over, 0);
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
      points.push_back(
          Vec4((int(random() % 17) - 8) * 0.25f, (int(random() % 17) - 8) * 0.25f, 0, 0));
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
  std::mt19937 random(11);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    Canvas fast = RandomGridCanvas(random);
    Canvas plain = fast;
    Check(fast);
    PlainCheckCollisions(plain);
    for (int i = 0; i < fast.count; ++i) {
      const Stroke &got = fast.strokes[i], &want = plain.strokes[i];
      ASSERT_EQ(got.path.size(), want.path.size());
      for (std::size_t k = 0; k < got.path.size(); ++k) {
        const StrokeNode &g = got.path[k], &w = want.path[k];
        ASSERT_EQ(std::make_tuple(g.locked, g.position.x, g.position.y, g.height, g.width),
                  std::make_tuple(w.locked, w.position.x, w.position.y, w.height, w.width))
            << "stroke " << i << " point " << k;
      }
      ASSERT_EQ(got.subdivision.baseMesh.has_value(), want.subdivision.baseMesh.has_value());
      if (!got.subdivision.baseMesh) continue;
      const Mesh &gm = *got.subdivision.baseMesh, &wm = *want.subdivision.baseMesh;
      ASSERT_EQ(gm.vertexCount, wm.vertexCount);
      for (int v = 0; v < gm.vertexCount; ++v)
        ASSERT_EQ(std::make_pair(gm.positions[v].x, gm.positions[v].z),
                  std::make_pair(wm.positions[v].x, wm.positions[v].z));
    }
  }
}

TEST(ComputeBounds, EnclosesRaisedVerticesOnly) {
  Stroke stroke;
  Mesh mesh;
  mesh.vertexCount = 4;
  mesh.positions = {Vec4(5, 5, 0, 0), Vec4(0.1f, 0.2f, 0.3f, 0), Vec4(-0.4f, 0.5f, 0.1f, 0),
                    Vec4(9, 9, 0, 0)};
  stroke.subdivision.baseMesh = mesh;
  ComputeBounds(stroke);
  // Seeded from vertex 0 whatever it is, then the raised vertices only.
  EXPECT_EQ(std::make_tuple(stroke.bounds[0].x, stroke.bounds[0].y, stroke.bounds[2].x,
                            stroke.bounds[2].y),
            std::make_tuple(-0.4f, 0.2f, 5.0f, 5.0f));
  Stroke empty;
  empty.bounds[0].x = 7;
  ComputeBounds(empty);
  EXPECT_EQ(empty.bounds[0].x, 7.0f);
}

}  // namespace
