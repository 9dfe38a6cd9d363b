// Where a stroke may draw: boxes worked out by hand, and the reach kept
// with a stroke equal to one found from scratch after every kind of change.
#include "stroke/reach.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "stroke/build.h"
#include "stroke/collisions.h"
#include "stroke/history.h"
#include "tests/support/console.h"

namespace {

void ExpectBox(const SceneBox& box, const float (&lo)[3], const float (&hi)[3]) {
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(std::fabs(box.lo[k] - lo[k]) + std::fabs(box.hi[k] - hi[k]) < 1e-6) << k;
}

// The bounds corners of a stroke, inside what the rest spans.
void BoundsInside(Stroke& stroke, float x, float y) {
  for (Vec4& corner : stroke.bounds) corner = Vec4(x, y, 0, 0);
}

bool Inside(const SceneBox& box, const Vec4& p) {
  return box.lo[0] <= p.x && p.x <= box.hi[0] && box.lo[1] <= p.y && p.y <= box.hi[1] &&
         box.lo[2] <= p.z && p.z <= box.hi[2];
}

// Every face of a mesh lies in the box of its run, and the runs cover the
// faces once, in order; no mesh, no runs.
testing::AssertionResult RunsHoldFaces(const std::vector<RunBox>& runs,
                                       const std::optional<Mesh>& optionalMesh) {
  if (!optionalMesh) return testing::AssertionResult(runs.empty());
  const Mesh& mesh = *optionalMesh;
  if (!RunsCover(runs, mesh.faceCount)) return testing::AssertionFailure() << "faces not covered";
  for (const RunBox& run : runs)
    for (int f = run.first; f < run.first + run.count; ++f)
      for (int v : mesh.faces[f].vertex)
        if (!Inside(run.box, mesh.positions[v]))
          return testing::AssertionFailure() << "face " << f << " outside its run";
  return testing::AssertionSuccess();
}

}  // namespace

// A particle is drawn as a square of half-side twice its size, whatever
// the size's sign: the box reaches the outermost quads' edges. A mesh's box
// is its vertices' and no more: storage past the vertex count (kept from a
// larger mesh, say) is not part of it.
TEST(StrokeReach, ParticlesReachTheEdgesOfTheirQuadsMeshesTheirVertices) {
  Stroke stroke, meshed;
  BoundsInside(stroke, 0.1f, 0.1f);
  stroke.particles.positions = {Vec4(0.0f, 0.0f, 0.01f, 0), Vec4(0.5f, 0.25f, 0.01f, 0)};
  stroke.particles.sizes = {0.05f, -0.1f};
  // Left and bottom: the first quad (half-side 0.1); right and top: the
  // second (half-side 0.2); the bounds' z of 0.01 with the particles'.
  ExpectBox(ReachOf(stroke).whole, {-0.1f, -0.1f, 0.01f}, {0.7f, 0.45f, 0.01f});

  BoundsInside(meshed, 0.0f, 0.0f);
  Mesh mesh;  // the fourth vertex lies past the count
  mesh.positions = {Vec4(-0.25f, 0.5f, 0.0f, 1), Vec4(0.75f, -0.5f, 0.125f, 1),
                    Vec4(0.0f, 0.0f, 0.0625f, 1), Vec4(9.0f, 9.0f, 9.0f, 1)};
  mesh.vertexCount = 3;
  meshed.subdivision.baseMesh = mesh;
  ExpectBox(ReachOf(meshed).whole, {-0.25f, -0.5f, 0.0f}, {0.75f, 0.5f, 0.125f});
}

// Every kind of change to a committed stroke leaves it with the reach a
// look at it from scratch finds, and the runs of that reach hold their
// faces and cover its particles. Each change but the deletion moves the stroke's
// geometry, so a reach left as it was would differ.
TEST(StrokeReach, KeptWithTheStrokeThroughEveryChange) {
  StrokeSettings settings;
  settings.showParticles = 1;  // particles and a mesh: both are drawn at times
  RandomGenerator random;
  BuildHooks hooks;
  const BuildContext build{settings, random, hooks};
  Canvas canvas;
  CanvasHistory history;
  auto paint = [&canvas, &build](float y, float dy) {
    for (int i = 0; i < 20; ++i) canvas.AddPoint(-0.8f + 0.08f * i, y + dy * i);
    canvas.CommitStroke(build);
  };
  int selection = 0;
  const struct { const char* change; int slot; std::function<void()> run; bool moves = true; }
  cases[] = {
      {"built", 0, [&] { paint(-0.3f, 0.03f); }},
      {"built with two levels of subdivision", 1,
       [&] { settings.subdivisionLevels = 2, paint(0.3f, -0.03f); }},  // crosses the first
      {"too short to build", 2,
       [&] { canvas.AddPoint(0.5f, 0.5f), canvas.AddPoint(0.6f, 0.7f), canvas.CommitStroke(build);
       }},
      {"resized", 0,
       [&] { settings.widthStart = 0.2f, ResizeStroke(canvas.strokes[0], settings, random); }},
      {"updated", 0, [&] { settings.pathLod = 3, UpdateStroke(canvas.strokes[0], build); }},
      {"crossed and meshed again", 1,
       [&] {
         history.Begin(canvas, 0);
         history.KeepStroke(canvas, 1);
         CheckCollisions(canvas, CollisionFactors(), 2);
         history.End(canvas, 0);
       }},
      {"undone", 1, [&] { history.Undo(canvas, selection); }},
      {"redone", 1, [&] { history.Redo(canvas, selection); }},
      {"deleted", 0, [&] { canvas.DeleteStroke(0); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    const StrokeReach before = canvas.strokes[c.slot].reach;
    Quietly(c.run);
    const Stroke& stroke = canvas.strokes[c.slot];
    const StrokeReach fresh = ReachOf(stroke);
    EXPECT_TRUE(stroke.reach == fresh);
    EXPECT_EQ(!(fresh == before), c.moves) << "the change moves the stroke";
    EXPECT_TRUE(RunsHoldFaces(fresh.baseFaces, stroke.subdivision.baseMesh));
    EXPECT_TRUE(RunsHoldFaces(fresh.resultFaces, stroke.subdivision.resultMesh));
    EXPECT_TRUE(RunsCover(fresh.particles, static_cast<int>(stroke.particles.positions.size())));
  }
  EXPECT_GT(canvas.strokes[1].reach.resultFaces.size(), 1u) << "long enough for several runs";
}
