#include "stroke/build.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/console.h"

namespace {

class Build : public ::testing::Test {
 protected:
  BuildContext Context() { return BuildContext{settings_, random_, hooks_}; }

  // Paints a wavy stroke of `nodes` nodes and commits it, returning what
  // the build printed.
  std::string Paint(int nodes) {
    for (int i = 0; i < nodes; ++i) canvas_.AddPoint(-0.5f + 0.1f * i, 0.04f * ((i * 7) % 5 - 2));
    return Printed([this] { canvas_.CommitStroke(Context()); });
  }

  Canvas canvas_;
  StrokeSettings settings_;
  RandomGenerator random_;
  BuildHooks hooks_;
};

// A stroke of two nodes is committed with nothing to draw; one of three
// builds 5 path entries × 5 columns: 4 × 4 cells, 32 faces, 96 vertices.
TEST_F(Build, TranscriptsOfAShortAndABuiltStroke) {
  const std::string header = "\tBuilding Stroke data....\n\t------------------------------\n";
  EXPECT_EQ(Paint(2), header);
  EXPECT_EQ(canvas_.strokes[0].renderType, kRenderNothing);
  EXPECT_TRUE(canvas_.current.nodes.empty());
  EXPECT_EQ(Paint(3), header +
            "\tGenerating PATH data....\n\tGenerating SHAPE data....\n\tGenerating PERP data....\n"
            "\tGenerating MESH data.... (v:96, f:32) \n\tGenerating PARTICLE data....\n"
            "\tGenerating BOUNDINGBOX data....\n\t------------------------------\n"
            "\tFinished building Stroke data.\n\n");
  const Stroke& stroke = canvas_.strokes[1];
  EXPECT_EQ(canvas_.count, 2);
  EXPECT_EQ(stroke.renderType, kRenderMesh);
  EXPECT_EQ(stroke.path.size(), 5u);
  EXPECT_TRUE(stroke.particles.positions.empty()) << "no particles unless P is on";
}

TEST_F(Build, ParticlesFiveAPointReportedAndHandedToTheHook) {
  settings_.showParticles = 1, settings_.showMesh = 0;
  settings_.startColour = Vec4(0.2f, 0.4f, 0.6f, 0.0f);
  int compiled = 0;
  hooks_.compileParticles = [&compiled](ParticleSystem& particles) {
    compiled = static_cast<int>(particles.positions.size());
  };
  const std::string out = Paint(4);
  const Stroke& stroke = canvas_.strokes[0];
  EXPECT_NE(out.find("\tBuilding Particles...\n\t#particles: 50\n\r\r\t0.00"), std::string::npos);
  EXPECT_NE(out.find("\r\r\t98.00\tGenerating BOUNDINGBOX data....\n"), std::string::npos);
  EXPECT_EQ(std::make_pair(compiled, stroke.renderType), std::make_pair(50, int(kRenderParticles)));
  ASSERT_EQ(stroke.particles.colours.size(), 50u);
  EXPECT_EQ(stroke.particles.colours[0].w, 1.0f) << "the build gives the colour alpha 1";
  EXPECT_EQ(settings_.startColour.w, 0.0f) << "the settings are only read";
}

TEST_F(Build, CapacityStopsAt19999) {
  canvas_.count = kStrokeCountLimit;
  canvas_.AddPoint(0.1f, 0.2f);
  EXPECT_TRUE(canvas_.current.nodes.empty());
  EXPECT_FLOAT_EQ(canvas_.lastPoint.y, 0.2f);
  EXPECT_EQ(std::make_pair(canvas_.CommitStroke(Context()), canvas_.count),
            std::make_pair(-1, kStrokeCountLimit));
  canvas_.DeleteAll();
  EXPECT_EQ(std::make_pair(canvas_.count, canvas_.strokes.size()),
            std::make_pair(0, std::size_t(kStrokeCapacity))) << "room kept for new strokes";
}

// A pen pressing harder along the stroke: the pressure follows the path
// from the first node's exactly, and scales widths and heights between the
// minimum fraction (no pressure) and the settings' sizes, through the curve.
TEST_F(Build, APressureRampWidensAndRaisesTheStrokeMonotonically) {
  settings_.endNode = 0;
  settings_.widthEnd = settings_.widthStart, settings_.heightEnd = settings_.heightStart;
  const struct { float minimum, curve; } cases[] = {{0.25f, 1.0f}, {0.0f, 2.0f}, {0.6f, 0.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "minimum " << c.minimum << ", curve " << c.curve);
    settings_.pressureMinimum = c.minimum, settings_.pressureCurve = c.curve;
    for (int i = 0; i < 8; ++i) canvas_.AddPoint(-0.5f + 0.1f * i, 0.03f * (i % 2), i / 7.0f);
    Quietly([this] { canvas_.CommitStroke(Context()); });
    const std::vector<StrokeNode>& path = canvas_.strokes[canvas_.count - 1].path;
    ASSERT_EQ(path.size(), 30u);
    EXPECT_EQ(path[0].pressure, 0.0f);
    EXPECT_FLOAT_EQ(path[0].width, c.minimum * settings_.widthStart);
    for (std::size_t k = 1; k < path.size(); ++k) {
      SCOPED_TRACE(k);
      EXPECT_GE(path[k].pressure, path[k - 1].pressure);
      EXPECT_LE(path[k].pressure, 1.0f);
      EXPECT_GE(path[k].height, path[k - 1].height);
      EXPECT_GE(path[k].width, k + 1 < path.size() ? path[k - 1].width : 0.0f);
    }
    EXPECT_GT(path[28].width, path[0].width + 0.01f);
  }
}

}  // namespace
