// Strokes built through the whole pipeline, fingerprinted bit for bit. The
// fingerprints were taken from the build as it stood when it still read the
// application's globals, before it took its settings as arguments; any
// change to a path, profile, width, mesh, subdivision or deflection shows
// up here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "stroke/build.h"
#include "stroke/collisions.h"
#include "tests/support/fingerprint.h"
#include "tests/support/height_map.h"

namespace {

class GoldenBuild : public ::testing::Test {
 protected:
  // Runs `action` with the console captured: failures must still print.
  template <typename Action>
  static void Quietly(Action action) {
    testing::internal::CaptureStdout();
    action();
    testing::internal::GetCapturedStdout();
  }

  // A wavy stroke of `nodes` nodes starting at (x, y).
  void Paint(int nodes, float x, float y, float dx, float dy) {
    for (int i = 0; i < nodes; ++i)
      canvas_.AddPoint(x + dx * i, y + dy * i + 0.04f * ((i * 7) % 5 - 2));
    Quietly([this] { canvas_.CommitStroke(Context()); });
  }

  void Collide() {
    Quietly([this] { CheckCollisions(canvas_, factors_, settings_.subdivisionLevels); });
  }

  BuildContext Context() { return BuildContext{settings_, random_, hooks_}; }

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
  const BuildHooks& hooks_ = HeadlessBuildHooks();
};

TEST_F(GoldenBuild, DefaultsAndVariedSettings) {
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

TEST_F(GoldenBuild, CrossingStrokesPileUpAndRebuildsOfTheSelection) {
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
