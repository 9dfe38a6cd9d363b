#include "stroke/collisions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "stroke/mesh.h"
#include "tests/support/console.h"
#include "tests/support/fingerprint.h"

namespace {

Vec4 P(float x, float y) { return Vec4(x, y, 0, 0); }

StrokeNode Node(const Vec4& at, float height, float width) {
  StrokeNode node;
  node.position = at;
  node.height = node.baseHeight = height;
  node.width = node.baseWidth = width;
  node.perpendicular = Vec4(0, 1, 0, 0);
  return node;
}

// A built-looking stroke along `path` with a three-column profile, so that
// a deflection can re-mesh it.
Stroke Meshable(std::vector<StrokeNode> path) {
  Stroke stroke;
  stroke.path = std::move(path);
  stroke.shapeResolution = 3;
  stroke.profile = {0.0f, 0.5f, 0.0f};
  stroke.size.startColours = stroke.size.endColours = std::vector<Vec4>(3, Vec4(1, 1, 1, 1));
  return stroke;
}

Stroke Meshable(const std::vector<Vec4>& points, float height, float width) {
  std::vector<StrokeNode> path;
  for (const Vec4& p : points) path.push_back(Node(p, height, width));
  return Meshable(path);
}

// Stroke 1 runs along x through the origin, height 0.1 and width 0.2 at its
// first point; stroke 2 runs up x = 0 and crosses it in its second segment.
// The segment's start moves onto the crossing and rises and widens by the
// start factors times stroke 1's height and width: 2 × 0.1 + 0.01 = 0.21,
// 1.5 × 0.2 + 0.02 = 0.32. The point after it sinks and narrows by the end
// factors: 0.03 − 0.25 × 0.1 = 0.005, 0.04 − 0.5 × 0.2 = −0.06. The factors
// differ, as the defaults do not, so that one used in the wrong place shows.
// The point before the crossing is only locked; beyond it nothing changes.
TEST(CheckCollisions, CrossingRisesByTheStartFactorsTheNextPointSinksByTheEndFactors) {
  Canvas canvas;
  canvas.strokes[0] = Meshable({Node(P(-0.5f, 0), 0.1f, 0.2f), Node(P(0.5f, 0), 0.1f, 0.2f)});
  canvas.strokes[1] = Meshable({Node(P(0, -0.9f), 0.07f, 0.08f), Node(P(0, -0.5f), 0.01f, 0.02f),
                                Node(P(0, 0.5f), 0.03f, 0.04f), Node(P(0, 0.9f), 0.05f, 0.06f)});
  canvas.count = 2;
  CollisionFactors factors;
  factors.widthStart = 1.5f, factors.widthEnd = 0.5f;
  factors.heightStart = 2.0f, factors.heightEnd = 0.25f;
  EXPECT_EQ(Printed([&] { CheckCollisions(canvas, factors, 0); }),
            "\tChecking for Collisions: \r\r\t0.00\r\r\t50.00\tDone!\n");
  const Stroke& over = canvas.strokes[1];
  // y, height, width, locked and x of each point.
  const float expected[4][5] = {{-0.9f, 0.07f, 0.08f, 1, 0}, {0, 0.21f, 0.32f, 1, 0},
                                 {0.5f, 0.005f, -0.06f, 1, 0}, {0.9f, 0.05f, 0.06f, 0, 0}};
  for (int k = 0; k < 4; ++k) {
    const StrokeNode& n = over.path[k];
    const float got[5] = {n.position.y, n.height, n.width, float(n.locked), n.position.x};
    for (int a = 0; a < 5; ++a) EXPECT_FLOAT_EQ(got[a], expected[k][a]) << k << ", " << a;
  }
  EXPECT_FLOAT_EQ(canvas.strokes[0].path[0].height, 0.1f) << "the earlier stroke stays";
  ASSERT_TRUE(over.subdivision.baseMesh.has_value()) << "re-meshed";

  const Stroke afterFirstRun = over;
  for (StrokeNode& node : canvas.strokes[0].path) node.height *= 2;  // would deflect differently
  Quietly([&] { CheckCollisions(canvas, factors, 0); });
  EXPECT_EQ(StrokePrint(over), StrokePrint(afterFirstRun)) << "locked points stay";
  EXPECT_EQ(over.subdivision.baseMesh->id, afterFirstRun.subdivision.baseMesh->id)
      << "nothing moved: the mesh stays as it was built";
  // With other subdivision levels, a crossing re-meshes even a stroke whose
  // points are all locked.
  Quietly([&] { CheckCollisions(canvas, factors, 1); });
  EXPECT_EQ(over.subdivision.levels, 1);
  EXPECT_TRUE(over.subdivision.resultMesh.has_value());
  canvas.count = 1;
  EXPECT_EQ(Printed([&] { CheckCollisions(canvas, factors, 0); }), "\tChecking for Collisions: ")
      << "one stroke: no progress";
}

// The check written straight from its definition: every pair of segments
// is tested, and a deflected stroke is re-meshed at each crossing. It returns
// each changed stroke, in the order of its first crossing.
std::vector<int> PlainCheckCollisions(Canvas& canvas) {
  std::vector<int> changed;
  Vec4 p;
  for (int i = 0; i < canvas.count; ++i) {
    const Stroke& under = canvas.strokes[i];
    for (int j = i + 1; j < canvas.count && !under.deleted; ++j) {
      Stroke& over = canvas.strokes[j];
      for (std::size_t a = 0; a + 1 < under.path.size() && !over.deleted; ++a)
        for (std::size_t b = 0; b + 1 < over.path.size(); ++b) {
          const StrokeNode& at = under.path[a];
          if (!SegmentCrossing(at.position, under.path[a + 1].position, over.path[b].position,
                               over.path[b + 1].position, p))
            continue;
          if (std::find(changed.begin(), changed.end(), j) == changed.end()) changed.push_back(j);
          if (b > 0) over.path[b - 1].locked = 1;
          DeflectNode(over.path[b], at.height, at.width, p, kDeflectCrossing, CollisionFactors());
          if (b + 2 < over.path.size())
            DeflectNode(over.path[b + 1], at.height, at.width, p, kDeflectFollowing,
                        CollisionFactors());
          BuildMesh(over, 0);
        }
    }
  }
  return changed;
}

// Runs the check and the plain one on copies of `canvas`: every record ends
// the same bit for bit (points, heights, locks, meshes), and the same
// strokes are announced, in the same order, before they change.
void ExpectSameAsPlainCheck(const Canvas& canvas) {
  Canvas fast = canvas, plain = canvas;
  std::vector<int> announced;
  Quietly([&] {
    CheckCollisions(fast, CollisionFactors(), 0, [&](int slot) { announced.push_back(slot); });
  });
  EXPECT_EQ(announced, PlainCheckCollisions(plain));
  for (int i = 0; i < fast.count; ++i)
    ASSERT_EQ(StrokePrint(fast.strokes[i]), StrokePrint(plain.strokes[i])) << "stroke " << i;
}

// Random canvases of two kinds. On a coarse grid, segments often touch at
// their ends, run along each other or cross exactly at grid points. The
// other kind mixes strokes along a few lines through exact float arithmetic
// (collinear points, where the test's rounding accepts far-apart segments),
// runs along x and y, repeated points, segments shorter than the rounding
// of their neighbours' coordinates, and now and then a coordinate that is
// not finite or very large.
Canvas RandomCanvas(std::mt19937& random, bool grid) {
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f), exponent(-7.0f, 0.0f);
  const auto quarter = [](std::mt19937& r) { return (int(r() % 17) - 8) * 0.25f; };
  const float slopes[] = {1.0f, 2.0f, -0.5f, 0.25f};
  const float slope = slopes[random() % 4];
  Canvas canvas;
  canvas.count = 6 + random() % 8;
  canvas.strokes.resize(canvas.count);
  for (int i = 0; i < canvas.count; ++i) {
    std::vector<Vec4> points;
    const int kind = grid ? 5 : random() % 5;
    const float y0 = unit(random), x0 = unit(random);
    for (int k = 2 + random() % 8; k > 0; --k) {
      const float x = (random() % 2 ? 1 : -1) * std::pow(10.0f, exponent(random));
      switch (kind) {
        case 0: points.push_back(P(x, slope * x)); break;  // on y = slope x, every product exact
        case 1: points.push_back(P(x, y0)); break;         // along x
        case 2: points.push_back(P(x0, x)); break;         // along y
        case 3:  // repeated points and neighbours an ulp away
          points.push_back(points.empty() || random() % 2 ? P(x, unit(random)) : points.back());
          if (random() % 2) points.back().x = std::nextafter(points.back().x, 2.0f);
          break;
        case 4: points.push_back(P(unit(random), unit(random))); break;
        default: points.push_back(P(quarter(random), quarter(random)));
      }
    }
    if (!grid && random() % 12 == 0) {
      const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(), 1e30f};
      points[random() % points.size()].y = odd[random() % 3];
    }
    canvas.strokes[i] = Meshable(points, 0.01f * (1 + random() % 9), 0.02f * (1 + random() % 5));
    canvas.strokes[i].deleted = random() % 10 == 0;
  }
  return canvas;
}

TEST(CheckCollisions, SameAsThePlainCheckOnRandomAndDegenerateStrokes) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 360; ++trial) {
    SCOPED_TRACE(trial);
    ExpectSameAsPlainCheck(RandomCanvas(random, trial % 6 == 0));
  }
}

// Pairs of strokes built to sit where skipping a pair could first go
// wrong. `crosses`: whether the later stroke is deflected at all, worked
// out by hand or, for the rounding cases, by the test itself.
TEST(CheckCollisions, SkipsOnlyPairsTheTestRejects) {
  const float ulp = std::numeric_limits<float>::epsilon();
  const float tiny = 1e-30f;
  const auto Diagonal = [](float v) { return P(v, v); };
  const float nearEighth = 0.125f - 0x1p-20f;
  const struct { const char* what; std::vector<Vec4> under, over; bool crosses; } cases[] = {
      {"B starts where A ends", {P(0, 0), P(0.5f, 0)}, {P(0.5f, 0), P(0.5f, 0.5f)}, true},
      {"B ends on A", {P(0, 0), P(0.5f, 0)}, {P(0.25f, 0.5f), P(0.25f, 0)}, true},
      {"B stops an ulp short of A", {P(0, 0), P(0.5f, 0)}, {P(0.25f, 0.5f), P(0.25f, ulp)}, false},
      {"B overlaps A, parallel", {P(0, 0), P(0.5f, 0)}, {P(0.25f, 0), P(0.75f, 0)}, false},
      // Along y = x, where the rounded denominator is not 0 and s and t,
      // quotients of rounding errors, land in [0, 1]: the check must test
      // these whether the boxes are just over or just under its margin
      // apart, or far apart (B's first point then moves onto A's start).
      {"collinear, boxes just over the margin apart",
       {Diagonal(-7.012078276602551e-05f), Diagonal(4.773328328155912e-07f)},
       {Diagonal(0.00024461818975396454f), Diagonal(0.019223501905798912f)}, true},
      {"collinear, boxes just under the margin apart",
       {Diagonal(-0.3669898808002472f), Diagonal(1.6203993880026246e-07f)},
       {Diagonal(0.00024430244229733944f), Diagonal(0.0012761902762576938f)}, true},
      {"collinear, far apart, accepted",
       {Diagonal(-0.00039500484126619995f), Diagonal(3.6572741919371765e-06f)},
       {Diagonal(0.01496225968003273f), Diagonal(0.22903521358966827f)}, true},
      // Nearly parallel to A (slopes 1e-5 apart) and through its end or
      // from a point on it, then moved by an ulp: s = 1 (t = 0) exactly,
      // then just past the end.
      {"B's line through A's end", {P(0, 0), P(0.5f, 0.25f)},
       {P(0.25f, nearEighth), P(0.75f, 0.5f - nearEighth)}, true},
      {"B's line an ulp past A's end", {P(0, 0), P(0.5f, 0.25f)},
       {P(0.25f, std::nextafter(nearEighth, 0.0f)), P(0.75f, 0.5f - nearEighth)}, false},
      {"B starts on A", {P(0, 0), P(0.5f, 0.25f)},
       {P(0.25f, 0.125f), P(0.75f, 0.375f + 0x1p-20f)}, true},
      {"B starts an ulp off A", {P(0, 0), P(0.5f, 0.25f)},
       {P(0.25f, std::nextafter(0.125f, 1.0f)), P(0.75f, 0.375f + 0x1p-20f)}, false},
      {"corners of the canvas", {P(-1, -1), P(1, 1)}, {P(-1, 1), P(1, -1)}, true},
      {"a cross near 0", {P(-tiny, 0), P(tiny, 0)}, {P(0, -tiny), P(0, tiny)}, true},
      {"a tiny segment on a long one", {P(-1, 0), P(1, 0)}, {P(tiny, -tiny), P(tiny, tiny)}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Canvas canvas;
    canvas.count = 2;
    canvas.strokes = {Meshable(c.under, 0.2f, 0.1f), Meshable(c.over, 0.05f, 0.03f)};
    Canvas plain = canvas;
    EXPECT_EQ(PlainCheckCollisions(plain).size(), c.crosses ? 1u : 0u);
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
  canvas.strokes = {Meshable({P(0.25f, 0.5f), P(0.5f, 0.25f)}, 0.2f, 0.1f),
                    Meshable({P(q, q), P(0.25f, 0.4375f), P(0.5f, 0.3125f)}, 0.1f, 0.1f),
                    Meshable({P(e, e), P(g, g)}, 0.05f, 0.03f)};
  Canvas plain = canvas;
  PlainCheckCollisions(plain);
  EXPECT_EQ(plain.strokes[1].path[1].position.x, 0.375f);
  EXPECT_EQ(plain.strokes[2].path[0].position.x, q);
  ExpectSameAsPlainCheck(canvas);
}

// Seeded from vertex 0 whatever it is, then the raised vertices only; the
// corners go round from the lower left. No mesh: the bounds stay.
TEST(ComputeBounds, EnclosesRaisedVerticesOnly) {
  Stroke stroke, empty;
  Mesh mesh;
  mesh.vertexCount = 4;
  mesh.positions = {Vec4(5, 5, 0, 0), Vec4(0.1f, 0.2f, 0.3f, 0), Vec4(-0.4f, 0.5f, 0.1f, 0),
                    Vec4(9, 9, 0, 0)};
  stroke.subdivision.baseMesh = mesh;
  ComputeBounds(stroke);
  const float corners[4][2] = {{-0.4f, 0.2f}, {-0.4f, 5.0f}, {5.0f, 5.0f}, {5.0f, 0.2f}};
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(std::make_pair(stroke.bounds[k].x, stroke.bounds[k].y),
              std::make_pair(corners[k][0], corners[k][1])) << k;
  empty.bounds[0].x = 7;
  ComputeBounds(empty);
  EXPECT_EQ(empty.bounds[0].x, 7.0f);
}

}  // namespace
