// Strokes built through the whole pipeline, fingerprinted bit for bit. The
// fingerprints were taken from the build as it stood before the geometry
// core took its settings as arguments; any change to a path, profile,
// width, mesh, subdivision or deflection shows up here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "app/state.h"
#include "common/random.h"
#include "render/collisions.h"
#include "stroke/build.h"
#include "stroke/canvas.h"
#include "tests/support/gl_window.h"

namespace {

struct Fingerprint {
  std::uint64_t hash = 1469598103934665603ull;
  void Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  }
  void Float(float v) { Bytes(&v, sizeof v); }
  void Int(int v) { Bytes(&v, sizeof v); }
  void Vec(const Vec4& v) {
    Float(v.x);
    Float(v.y);
    Float(v.z);
    Float(v.w);
  }
  void MeshData(const Mesh& mesh) {
    Int(mesh.vertexCount);
    Int(mesh.faceCount);
    for (int v = 0; v < mesh.vertexCount; ++v) {
      Vec(mesh.positions[v]);
      Vec(mesh.normals[v]);
      Vec(mesh.colours[v]);
      Float(mesh.texCoords[v].x);
      Float(mesh.texCoords[v].y);
    }
    for (int f = 0; f < mesh.faceCount; ++f) {
      for (int k : mesh.faces[f].vertex) Int(k);
      Vec(mesh.faces[f].normal);
    }
  }
  void StrokeData(const Stroke& s) {
    Int(s.deleted);
    Int(s.renderType);
    Int(s.shapeResolution);
    for (float p : s.profile) Float(p);
    for (const StrokeNode& n : s.path) {
      Vec(n.position);
      Vec(n.tangent);
      Vec(n.perpendicular);
      Float(n.height);
      Float(n.width);
      Float(n.baseHeight);
      Float(n.baseWidth);
      Int(static_cast<int>(n.locked));
    }
    for (const Vec4& c : s.size.startColours) Vec(c);
    for (const Vec4& c : s.size.endColours) Vec(c);
    Float(s.size.widthStart);
    Float(s.size.widthEnd);
    Float(s.size.heightStart);
    Float(s.size.heightEnd);
    for (const Vec4& b : s.bounds) {
      Float(b.x);
      Float(b.y);
    }
    Int(s.subdivision.levels);
    Int(s.subdivision.edgeCount);
    if (s.subdivision.baseMesh) MeshData(*s.subdivision.baseMesh);
    if (s.subdivision.resultMesh) MeshData(*s.subdivision.resultMesh);
  }
};

std::string Hex(std::uint64_t v) {
  char text[20];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

class GoldenBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureHiddenGlWindow();
    ResetApplicationStateForTesting();
    RandomResetForTesting();
    TheCanvas.DeleteAll();
  }
  void TearDown() override { ResetApplicationStateForTesting(); }

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
      TheCanvas.AddPoint(x + dx * i, y + dy * i + 0.04f * ((i * 7) % 5 - 2));
    Quietly([] { TheCanvas.CommitStroke(); });
  }

  std::string CanvasFingerprint() {
    Fingerprint f;
    f.Int(TheCanvas.count);
    for (int i = 0; i < TheCanvas.count; ++i) f.StrokeData(TheCanvas.strokes[i]);
    return Hex(f.hash);
  }
};

TEST_F(GoldenBuild, DefaultsAndVariedSettings) {
  Paint(12, -0.8f, 0.1f, 0.12f, 0.0f);
  PathLod = 3;
  ShapeLod = 7;
  EndNode = 2;
  SubdivisionLevels = 2;
  RandomSize = 1;
  StartColour = Vec4(0.9f, 0.3f, 0.2f, 0.0f);
  EndColour = Vec4(0.1f, 0.4f, 0.8f, 0.0f);
  Paint(9, -0.5f, -0.6f, 0.05f, 0.13f);
  ShowParticles = 1;
  ShowMesh = 0;
  Paint(6, 0.2f, 0.7f, -0.1f, -0.05f);
  ShowParticles = 0;
  ShowMesh = 1;
  ShapeLod = 2;
  SubdivisionLevels = 1;
  Paint(3, -0.3f, 0.3f, 0.2f, 0.1f);
  WidthStart = 0.07f;
  HeightEnd = 0.01f;
  Paint(5, 0.6f, -0.2f, -0.2f, 0.02f);
  const char* kExpected = "bf080511db2d39aa";
  EXPECT_EQ(CanvasFingerprint(), kExpected);
}

TEST_F(GoldenBuild, CrossingStrokesPileUpAndRebuildsOfTheSelection) {
  SubdivisionLevels = 1;
  Paint(10, -0.9f, -0.1f, 0.2f, 0.02f);
  Paint(10, -0.1f, -0.9f, 0.02f, 0.2f);
  Paint(10, -0.8f, -0.8f, 0.18f, 0.18f);
  CollideAfterStroke = 1;
  Quietly([] { CheckCollisions(TheCanvas); });
  Paint(8, 0.7f, -0.7f, -0.2f, 0.19f);
  Quietly([] { CheckCollisions(TheCanvas); });
  const std::string piled = CanvasFingerprint();
  SelectedStroke = 2;
  OnStrokePanelControl(3);  // "+"
  SelectedStroke = 3;
  PathLod = 7;
  OnStrokePanelControl(7);  // "Update"
  const char* kExpectedPiled = "62bd58dab0aa2dc7";
  const char* kExpectedRebuilt = "1aa4357b065fdbe5";
  EXPECT_EQ(piled, kExpectedPiled);
  EXPECT_EQ(CanvasFingerprint(), kExpectedRebuilt);
}

}  // namespace
