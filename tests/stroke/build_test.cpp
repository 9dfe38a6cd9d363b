#include "stroke/build.h"

#include <gtest/gtest.h>

#include <string>

#include "stroke/collisions.h"
#include "tests/support/console.h"
#include "tests/support/fingerprint.h"
#include "tests/support/height_map.h"

namespace {

class Build : public ::testing::Test {
 protected:
  BuildContext Context() { return BuildContext{settings_, random_, hooks_}; }

  // Paints a wavy stroke of `nodes` nodes from (x, y) by (dx, dy) and
  // commits it, returning what the build printed.
  std::string Paint(int nodes, float x = -0.5f, float y = 0, float dx = 0.1f, float dy = 0) {
    for (int i = 0; i < nodes; ++i)
      canvas_.AddPoint(x + dx * i, y + dy * i + 0.04f * ((i * 7) % 5 - 2));
    return Printed([this] { canvas_.CommitStroke(Context()); });
  }

  void Collide() {
    Quietly([this] { CheckCollisions(canvas_, factors_, settings_.subdivisionLevels); });
  }

  std::string CanvasFingerprint() {
    Fingerprint f;
    f.Int(canvas_.count);
    for (int i = 0; i < canvas_.count; ++i) f.StrokeData(canvas_.strokes[i]);
    return Hex(f.hash);
  }

  Canvas canvas_;
  StrokeSettings settings_;
  CollisionFactors factors_;
  RandomGenerator random_;
  BuildHooks hooks_ = HeadlessBuildHooks();
};

TEST_F(Build, ShortStrokePrintsOnlyTheHeader) {
  EXPECT_EQ(Paint(2), "\tBuilding Stroke data....\n\t------------------------------\n");
  EXPECT_EQ(canvas_.count, 1);
  EXPECT_EQ(canvas_.strokes[0].renderType, kRenderNothing);
  EXPECT_TRUE(canvas_.current.nodes.empty());
}

TEST_F(Build, FullTranscriptWithMeshCounts) {
  // 5 path entries × 5 columns: 4 × 4 cells, 32 faces, 96 vertices.
  EXPECT_EQ(Paint(3),
            "\tBuilding Stroke data....\n"
            "\t------------------------------\n"
            "\tGenerating PATH data....\n"
            "\tGenerating SHAPE data....\n"
            "\tGenerating PERP data....\n"
            "\tGenerating MESH data.... (v:96, f:32) \n"
            "\tGenerating PARTICLE data....\n"
            "\tGenerating BOUNDINGBOX data....\n"
            "\t------------------------------\n"
            "\tFinished building Stroke data.\n"
            "\n");
  const Stroke& stroke = canvas_.strokes[0];
  EXPECT_EQ(stroke.renderType, kRenderMesh);
  EXPECT_EQ(stroke.path.size(), 5u);
  EXPECT_TRUE(stroke.particles.positions.empty()) << "no particles unless P is on";
}

TEST_F(Build, ParticlesFiveAPointReportedAndHandedToTheHook) {
  settings_.showParticles = 1;
  settings_.showMesh = 0;
  settings_.startColour = Vec4(0.2f, 0.4f, 0.6f, 0.0f);
  int compiled = 0;
  hooks_.compileParticles = [&compiled](ParticleSystem& particles) {
    compiled = static_cast<int>(particles.positions.size());
  };
  const std::string out = Paint(4);
  const Stroke& stroke = canvas_.strokes[0];
  EXPECT_NE(out.find("\tBuilding Particles...\n\t#particles: 50\n\r\r\t0.00"), std::string::npos);
  EXPECT_NE(out.find("\r\r\t98.00\tGenerating BOUNDINGBOX data....\n"), std::string::npos);
  EXPECT_EQ(compiled, 50);
  EXPECT_EQ(stroke.renderType, kRenderParticles);
  ASSERT_EQ(stroke.particles.colours.size(), 50u);
  EXPECT_EQ(stroke.particles.colours[0].w, 1.0f) << "the build gives the colour alpha 1";
  EXPECT_EQ(settings_.startColour.w, 0.0f) << "the settings are only read";
}

TEST_F(Build, CapacityStopsAt19999) {
  canvas_.count = kStrokeCountLimit;
  canvas_.AddPoint(0.1f, 0.2f);
  EXPECT_TRUE(canvas_.current.nodes.empty());
  EXPECT_FLOAT_EQ(canvas_.lastPoint.y, 0.2f);
  EXPECT_EQ(canvas_.CommitStroke(Context()), -1);
  EXPECT_EQ(canvas_.count, kStrokeCountLimit);
  canvas_.DeleteAll();
  EXPECT_EQ(canvas_.count, 0);
  EXPECT_EQ(canvas_.strokes.size(), static_cast<std::size_t>(kStrokeCapacity))
      << "room kept for new strokes";
}

// Strokes built through the whole pipeline, fingerprinted bit for bit. The
// fingerprints were taken from the build as it stood when it still read the
// application's globals, before it took its settings as arguments; any
// change to a path, profile, width, mesh, subdivision or deflection shows
// up here.
TEST_F(Build, GoldenFingerprintsOfDefaultsAndVariedSettings) {
  Paint(12, -0.8f, 0.1f, 0.12f, 0.0f);
  settings_.pathLod = 3;
  settings_.shapeLod = 7;
  settings_.endNode = 2;
  settings_.subdivisionLevels = 2;
  settings_.randomSize = 1;
  settings_.startColour = Vec4(0.9f, 0.3f, 0.2f, 0.0f);
  settings_.endColour = Vec4(0.1f, 0.4f, 0.8f, 0.0f);
  Paint(9, -0.5f, -0.6f, 0.05f, 0.13f);
  settings_.showParticles = 1;
  settings_.showMesh = 0;
  Paint(6, 0.2f, 0.7f, -0.1f, -0.05f);
  settings_.showParticles = 0;
  settings_.showMesh = 1;
  settings_.shapeLod = 2;
  settings_.subdivisionLevels = 1;
  Paint(3, -0.3f, 0.3f, 0.2f, 0.1f);
  settings_.widthStart = 0.07f;
  settings_.heightEnd = 0.01f;
  Paint(5, 0.6f, -0.2f, -0.2f, 0.02f);
  EXPECT_EQ(CanvasFingerprint(), "bf080511db2d39aa");
}

TEST_F(Build, GoldenFingerprintsOfPileUpsAndRebuildsOfTheSelection) {
  settings_.subdivisionLevels = 1;
  Paint(10, -0.9f, -0.1f, 0.2f, 0.02f);
  Paint(10, -0.1f, -0.9f, 0.02f, 0.2f);
  Paint(10, -0.8f, -0.8f, 0.18f, 0.18f);
  Collide();
  Paint(8, 0.7f, -0.7f, -0.2f, 0.19f);
  Collide();
  EXPECT_EQ(CanvasFingerprint(), "62bd58dab0aa2dc7");
  // "+" on stroke 2, then "Update" of stroke 3 with a finer path.
  settings_.widthStart += 0.01f;
  settings_.heightStart += 0.01f;
  ResizeStroke(canvas_.strokes[1], settings_, random_);
  settings_.pathLod = 7;
  UpdateStroke(canvas_.strokes[2], Context());
  EXPECT_EQ(CanvasFingerprint(), "1aa4357b065fdbe5");
}

}  // namespace
