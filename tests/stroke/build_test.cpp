#include "stroke/build.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/state.h"
#include "common/random.h"
#include "stroke/canvas.h"
#include "tests/support/gl_window.h"

namespace {

class Build : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureHiddenGlWindow();
    ResetApplicationStateForTesting();
    TheCanvas.DeleteAll();
  }
  void TearDown() override { ResetApplicationStateForTesting(); }

  // Paints and commits a stroke, returning what the build printed.
  std::string PaintAndCommit(int nodes) {
    for (int i = 0; i < nodes; ++i) TheCanvas.AddPoint(-0.5f + 0.1f * i, 0.05f * (i % 3));
    testing::internal::CaptureStdout();
    TheCanvas.CommitStroke();
    return testing::internal::GetCapturedStdout();
  }
};

TEST_F(Build, ShortStrokePrintsOnlyTheHeader) {
  EXPECT_EQ(PaintAndCommit(2), "\tBuilding Stroke data....\n\t------------------------------\n");
  EXPECT_EQ(TheCanvas.count, 1);
  EXPECT_EQ(TheCanvas.strokes[0].renderType, 0);
  EXPECT_TRUE(TheCanvas.current.nodes.empty());
}

TEST_F(Build, FullTranscriptWithMeshCounts) {
  // 5 path entries × 5 columns: 4 × 4 cells, 32 faces, 96 vertices.
  EXPECT_EQ(PaintAndCommit(3),
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
  const Stroke& stroke = TheCanvas.strokes[0];
  EXPECT_EQ(stroke.renderType, 1);
  EXPECT_EQ(stroke.path.size(), 5u);
  EXPECT_EQ(stroke.particles.displayList, 0u) << "no particles unless P is on";
}

TEST_F(Build, ParticlesFiveAPointRepeatableAndListReplaced) {
  ShowParticles = 1;
  ShowMesh = 0;
  RandomResetForTesting();
  const std::string out = PaintAndCommit(4);
  Stroke& stroke = TheCanvas.strokes[0];
  EXPECT_NE(out.find("\tBuilding Particles...\n\t#particles: 50\n\r\r\t0.00"), std::string::npos);
  EXPECT_NE(out.find("\r\r\t98.00\tGenerating BOUNDINGBOX data....\n"), std::string::npos);
  EXPECT_EQ(stroke.renderType, 2);
  const unsigned first = stroke.particles.displayList;
  ASSERT_NE(first, 0u);
  EXPECT_TRUE(glIsList(first));
  EXPECT_TRUE(stroke.particles.positions.empty());
  testing::internal::CaptureStdout();
  BuildStroke(stroke);
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(glIsList(first) && first != stroke.particles.displayList) << "old list freed";
}

TEST_F(Build, CapacityStopsAt19999) {
  TheCanvas.count = kStrokeCountLimit;
  TheCanvas.AddPoint(0.1f, 0.2f);
  EXPECT_TRUE(TheCanvas.current.nodes.empty());
  EXPECT_FLOAT_EQ(TheCanvas.lastPoint.y, 0.2f);
  TheCanvas.CommitStroke();
  EXPECT_EQ(TheCanvas.count, kStrokeCountLimit);
  TheCanvas.DeleteAll();
  EXPECT_EQ(TheCanvas.count, 0);
  EXPECT_EQ(TheCanvas.strokes.size(), static_cast<std::size_t>(kStrokeCapacity))
      << "room kept for new strokes";
}

TEST_F(Build, PanelButtonsRebuildOnlyTheSelectedStroke) {
  for (int s = 0; s < 3; ++s) PaintAndCommit(4);
  OnStrokePanelControl(3);
  EXPECT_FLOAT_EQ(WidthStart, 0.04f) << "no selection: nothing changes";
  SelectedStroke = 2;
  const float before1 = TheCanvas.strokes[0].path[5].width;
  OnStrokePanelControl(3);
  EXPECT_FLOAT_EQ(WidthStart, 0.05f);
  EXPECT_FLOAT_EQ(HeightStart, 0.035f);
  EXPECT_EQ(TheCanvas.strokes[1].size.widthStart, WidthStart);
  EXPECT_EQ(TheCanvas.strokes[0].path[5].width, before1);
  ShowParticles = 1;
  OnStrokePanelControl(5);
  EXPECT_EQ(ShowMesh, 0);
  ShowMesh = 1;
  OnStrokePanelControl(6);
  EXPECT_EQ(ShowParticles, 0);
}

}  // namespace
