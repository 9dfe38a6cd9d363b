#include "stroke/collisions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
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
  EXPECT_EQ(over.subdivision.baseMesh->id, afterFirstRun.subdivision.baseMesh->id)
      << "nothing moved: the mesh stays as it was built";
  // With other subdivision levels, a crossing re-meshes even a stroke whose
  // points are all locked, as every crossing re-meshes in the definition.
  testing::internal::CaptureStdout();
  CheckCollisions(canvas, CollisionFactors(), 1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(over.subdivision.levels, 1);
  EXPECT_TRUE(over.subdivision.resultMesh.has_value());
  canvas.count = 1;
  testing::internal::CaptureStdout();
  CheckCollisions(canvas, CollisionFactors(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\tChecking for Collisions: ")
      << "one stroke: no progress";
}

// The check written straight from its definition: every pair of segments
// is tested, and a deflected stroke is re-meshed at each crossing. `changed`
// gets each stroke at its first crossing.
void PlainCheckCollisions(Canvas& canvas, std::vector<int>* changed = nullptr) {
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
          if (changed && std::find(changed->begin(), changed->end(), j) == changed->end())
            changed->push_back(j);
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

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Runs the check and the plain one on copies of `canvas`: the same points
// move, rise and lock, the same strokes are re-meshed alike, and the same
// strokes are announced, in the same order, before they change.
void ExpectSameAsPlainCheck(const Canvas& canvas) {
  Canvas fast = canvas, plain = canvas;
  std::vector<int> announced, changed;
  testing::internal::CaptureStdout();
  CheckCollisions(fast, CollisionFactors(), 0, [&](int slot) { announced.push_back(slot); });
  testing::internal::GetCapturedStdout();
  PlainCheckCollisions(plain, &changed);
  EXPECT_EQ(announced, changed);
  for (int i = 0; i < fast.count; ++i) {
    const Stroke &got = fast.strokes[i], &want = plain.strokes[i];
    ASSERT_EQ(got.path.size(), want.path.size());
    for (std::size_t k = 0; k < got.path.size(); ++k) {
      const StrokeNode &g = got.path[k], &w = want.path[k];
      ASSERT_TRUE(SameBits(g.position.x, w.position.x) && SameBits(g.position.y, w.position.y) &&
                  SameBits(g.height, w.height) && SameBits(g.width, w.width) &&
                  g.locked == w.locked)
          << "stroke " << i << " point " << k << ": (" << g.position.x << ", " << g.position.y
          << ") locked " << g.locked << ", want (" << w.position.x << ", " << w.position.y
          << ") locked " << w.locked;
    }
    ASSERT_EQ(got.subdivision.baseMesh.has_value(), want.subdivision.baseMesh.has_value());
    if (!got.subdivision.baseMesh) continue;
    const Mesh &gm = *got.subdivision.baseMesh, &wm = *want.subdivision.baseMesh;
    ASSERT_EQ(gm.vertexCount, wm.vertexCount);
    for (int v = 0; v < gm.vertexCount; ++v)
      ASSERT_TRUE(SameBits(gm.positions[v].x, wm.positions[v].x) &&
                  SameBits(gm.positions[v].z, wm.positions[v].z));
  }
}

Stroke Meshable(std::vector<Vec4> points, float height, float width) {
  Stroke stroke = Built(std::move(points), height, width);
  stroke.shapeResolution = 3;
  stroke.profile = {0.0f, 0.5f, 0.0f};
  stroke.size.startColours = stroke.size.endColours = std::vector<Vec4>(3, Vec4(1, 1, 1, 1));
  return stroke;
}

TEST(CheckCollisions, SameDeflectionsAndMeshesAsThePlainCheck) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE(trial);
    ExpectSameAsPlainCheck(RandomGridCanvas(random));
  }
}

// Pairs of strokes built to sit where skipping a pair could first go
// wrong. `crosses`: whether the later stroke is deflected at all, worked
// out by hand or, for the rounding cases, by the test itself.
TEST(CheckCollisions, SkipsOnlyPairsTheTestRejects) {
  const float ulp = std::numeric_limits<float>::epsilon();
  const float tiny = 1e-30f;
  const auto Diagonal = [](float v) { return Vec4(v, v, 0, 0); };
  const float nearEighth = 0.125f - 0x1p-20f;
  const struct {
    const char* what;
    std::vector<Vec4> under, over;
    bool crosses;
  } cases[] = {
      {"B starts where A ends", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0, 0, 0)},
       {Vec4(0.5f, 0, 0, 0), Vec4(0.5f, 0.5f, 0, 0)}, true},
      {"B ends on A", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0, 0, 0)},
       {Vec4(0.25f, 0.5f, 0, 0), Vec4(0.25f, 0, 0, 0)}, true},
      {"B stops an ulp short of A", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0, 0, 0)},
       {Vec4(0.25f, 0.5f, 0, 0), Vec4(0.25f, ulp, 0, 0)}, false},
      // Along y = x, where the rounded denominator is not 0 and s and t,
      // quotients of rounding errors, land in [0, 1]: the check must test
      // these whether the boxes are just over or just under its margin
      // apart.
      {"collinear, boxes just over the margin apart",
       {Diagonal(-7.012078276602551e-05f), Diagonal(4.773328328155912e-07f)},
       {Diagonal(0.00024461818975396454f), Diagonal(0.019223501905798912f)}, true},
      {"collinear, boxes just under the margin apart",
       {Diagonal(-0.3669898808002472f), Diagonal(1.6203993880026246e-07f)},
       {Diagonal(0.00024430244229733944f), Diagonal(0.0012761902762576938f)}, true},
      // Exactly parallel in real numbers, far apart: the rounded
      // denominator is not 0, and s and t, quotients of rounding errors,
      // land in [0, 1]. B's first point moves onto A's start.
      {"collinear, far apart, accepted",
       {Vec4(-0.00039500484126619995f, -0.00039500484126619995f, 0, 0),
        Vec4(3.6572741919371765e-06f, 3.6572741919371765e-06f, 0, 0)},
       {Vec4(0.01496225968003273f, 0.01496225968003273f, 0, 0),
        Vec4(0.22903521358966827f, 0.22903521358966827f, 0, 0)},
       true},
      // Nearly parallel to A (slopes 1e-5 apart) and through its end or
      // from a point on it, then moved by an ulp: s = 1 (t = 0) exactly,
      // then just past the end.
      {"B's line through A's end", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0.25f, 0, 0)},
       {Vec4(0.25f, nearEighth, 0, 0), Vec4(0.75f, 0.5f - nearEighth, 0, 0)}, true},
      {"B's line an ulp past A's end", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0.25f, 0, 0)},
       {Vec4(0.25f, std::nextafter(nearEighth, 0.0f), 0, 0), Vec4(0.75f, 0.5f - nearEighth, 0, 0)},
       false},
      {"B starts on A", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0.25f, 0, 0)},
       {Vec4(0.25f, 0.125f, 0, 0), Vec4(0.75f, 0.375f + 0x1p-20f, 0, 0)}, true},
      {"B starts an ulp off A", {Vec4(0, 0, 0, 0), Vec4(0.5f, 0.25f, 0, 0)},
       {Vec4(0.25f, std::nextafter(0.125f, 1.0f), 0, 0), Vec4(0.75f, 0.375f + 0x1p-20f, 0, 0)},
       false},
      {"corners of the canvas", {Vec4(-1, -1, 0, 0), Vec4(1, 1, 0, 0)},
       {Vec4(-1, 1, 0, 0), Vec4(1, -1, 0, 0)}, true},
      {"a cross near 0", {Vec4(-tiny, 0, 0, 0), Vec4(tiny, 0, 0, 0)},
       {Vec4(0, -tiny, 0, 0), Vec4(0, tiny, 0, 0)}, true},
      {"a tiny segment on a long one", {Vec4(-1, 0, 0, 0), Vec4(1, 0, 0, 0)},
       {Vec4(tiny, -tiny, 0, 0), Vec4(tiny, tiny, 0, 0)}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Canvas canvas;
    canvas.count = 2;
    canvas.strokes = {Meshable(c.under, 0.2f, 0.1f), Meshable(c.over, 0.05f, 0.03f)};
    Canvas plain = canvas;
    PlainCheckCollisions(plain);
    EXPECT_EQ(plain.strokes[1].path[0].locked == 1, c.crosses);
    ExpectSameAsPlainCheck(canvas);
  }
}

// A deflection lines a segment up with a far stroke: stroke 0 moves
// stroke 1's middle point onto (0.375, 0.375), so stroke 1's first segment
// now runs along y = x, like stroke 2 far away; there the test's rounding
// accepts, and stroke 2's first point moves onto stroke 1's first.
TEST(CheckCollisions, FollowsSegmentsThatAPointMoveMadeParallel) {
  const float q = 7.94464722275734e-06f;
  const float e = -0.2464844137430191f, g = -0.00940107461065054f;
  Canvas canvas;
  canvas.count = 3;
  canvas.strokes = {
      Meshable({Vec4(0.25f, 0.5f, 0, 0), Vec4(0.5f, 0.25f, 0, 0)}, 0.2f, 0.1f),
      Meshable({Vec4(q, q, 0, 0), Vec4(0.25f, 0.4375f, 0, 0), Vec4(0.5f, 0.3125f, 0, 0)}, 0.1f,
               0.1f),
      Meshable({Vec4(e, e, 0, 0), Vec4(g, g, 0, 0)}, 0.05f, 0.03f)};
  Canvas plain = canvas;
  PlainCheckCollisions(plain);
  EXPECT_EQ(plain.strokes[1].path[1].position.x, 0.375f);
  EXPECT_EQ(plain.strokes[2].path[0].position.x, q);
  ExpectSameAsPlainCheck(canvas);
}

// Strokes along a few lines through exact float arithmetic (collinear
// points, where the test's rounding accepts far-apart segments), runs
// along x and y, repeated points, segments shorter than the rounding of
// their neighbours' coordinates, and now and then a coordinate that is not
// finite or very large.
Canvas DegenerateCanvas(std::mt19937& random) {
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f), exponent(-7.0f, 0.0f);
  const float slopes[] = {1.0f, 2.0f, -0.5f, 0.25f};
  const float slope = slopes[random() % 4];
  Canvas canvas;
  canvas.count = 6 + random() % 5;
  canvas.strokes.resize(canvas.count);
  for (int i = 0; i < canvas.count; ++i) {
    std::vector<Vec4> points;
    const int kind = random() % 5;
    const float y0 = unit(random), x0 = unit(random);
    for (int k = 2 + random() % 8; k > 0; --k) {
      const float x = (random() % 2 ? 1 : -1) * std::pow(10.0f, exponent(random));
      switch (kind) {
        case 0:  // on y = slope x, every product exact
          points.push_back(Vec4(x, slope * x, 0, 0));
          break;
        case 1:  // along x
          points.push_back(Vec4(x, y0, 0, 0));
          break;
        case 2:  // along y
          points.push_back(Vec4(x0, x, 0, 0));
          break;
        case 3:  // repeated points and neighbours an ulp away
          points.push_back(points.empty() || random() % 2 ? Vec4(x, unit(random), 0, 0)
                                                          : points.back());
          if (random() % 2)
            points.back().x = std::nextafter(points.back().x, 2.0f);
          break;
        default:
          points.push_back(Vec4(unit(random), unit(random), 0, 0));
      }
    }
    if (random() % 12 == 0) {
      const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(), 1e30f};
      points[random() % points.size()].y = odd[random() % 3];
    }
    canvas.strokes[i] = Meshable(points, 0.01f * (1 + random() % 9), 0.02f * (1 + random() % 5));
    canvas.strokes[i].deleted = random() % 10 == 0;
  }
  return canvas;
}

TEST(CheckCollisions, SameAsThePlainCheckOnDegenerateStrokes) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 300; ++trial) {
    SCOPED_TRACE(trial);
    ExpectSameAsPlainCheck(DegenerateCanvas(random));
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
