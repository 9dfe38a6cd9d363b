// kelvra-play's undo and redo over the painter's own actions: each step is
// one action a person takes, and stepping back restores the strokes, the
// count and the selection the action found.
#include "actions/painting_history.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "tests/support/fingerprint.h"
#include "tests/support/painter.h"

namespace {

class PaintingSteps : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    history_.emplace();
  }
  void TearDown() override {
    history_.reset();
    PainterTest::TearDown();
  }

  std::optional<PaintingHistory> history_;
};

TEST_F(PaintingSteps, EachActionIsOneStepAndPaintingBlocksBoth) {
  Paint(-0.8f, 0.0f, 0.2f, 0.0f);
  Paint(-0.8f, 0.4f, 0.2f, 0.0f);
  AppState().collisions.afterStroke = 1;
  Paint(0.0f, -0.8f, 0.0f, 0.2f);  // down across both: it piles up where it crosses
  SelectStroke(2);
  DeleteSelectedStroke();
  DeleteAllStrokes();
  EXPECT_EQ(history_->Steps().UndoSteps(), 5u) << "three commits, two deletes; no selection step";
  ASSERT_TRUE(history_->Undo());
  ASSERT_TRUE(history_->Undo());
  ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(AppState().canvas.count, 2) << "the crossing stroke and its pile-ups go together";
  EXPECT_EQ(AppState().interaction.selectedStroke, 0) << "the selection the commit found";
  ASSERT_TRUE(history_->Redo());
  EXPECT_EQ(AppState().interaction.selectedStroke, 2)
      << "redo gives back the selection undo took away";

  // A new action drops what could be redone; painting blocks both ways.
  Paint(0.5f, -0.5f, 0.0f, 0.1f);
  EXPECT_FALSE(history_->Redo());
  AppState().interaction.painting = 1;
  EXPECT_FALSE(history_->Undo());
  AppState().interaction.painting = 0;
  EXPECT_TRUE(history_->Undo());
  EXPECT_EQ(AppState().canvas.count, 3);
}

// What the canvas shows: the count, the selection and every field a person
// could see or a later action could read (what a build writes, the painted
// nodes and the particles) of the stroke being painted and of the slots a
// session of a few dozen actions can reach.
std::string CanvasPrint() {
  Fingerprint f;
  f.Int(AppState().canvas.count);
  f.Int(AppState().interaction.selectedStroke);
  for (int i = -1; i < 64; ++i) {
    const Stroke& stroke = i < 0 ? AppState().canvas.current : AppState().canvas.strokes[i];
    f.StrokeData(stroke);
    for (const StrokeNode& node : stroke.nodes) f.Vec(node.position);
    for (const Vec4& p : stroke.particles.positions) f.Vec(p);
    for (float size : stroke.particles.sizes) f.Float(size);
  }
  return Hex(f.hash);
}

// One of the actions a person takes, chosen and placed at random: commits
// with and without pile-ups, meshes and particles, subdivided or not; a
// selection; deleting one or all; a resize; a rebuild; the crossing check.
void RandomAction(std::mt19937& dice) {
  const auto roll = [&dice](int sides) { return static_cast<int>(dice() % sides); };
  const auto place = [&dice] { return std::uniform_real_distribution<float>(-0.9f, 0.9f)(dice); };
  switch (roll(9)) {
    case 0:
    case 1:
    case 2:
      AppState().collisions.afterStroke = roll(3) == 0;
      AppState().strokeSettings.subdivisionLevels = roll(2);
      AppState().strokeSettings.showParticles = roll(2);
      AppState().strokeSettings.randomSize = roll(2);
      PainterTest::Paint(place(), place(), 0.3f * place(), 0.3f * place(), roll(7));
      break;
    case 3:
      DeleteSelectedStroke();
      break;
    case 4:
      if (roll(3) == 0) DeleteAllStrokes();
      break;
    case 5:
      GrowSelectedStroke(SizeAxis::kWidth, 0.01f);
      break;
    case 6:
      AppState().strokeSettings.pathLod = 1 + roll(6);
      UpdateSelectedStroke();
      break;
    case 7:
      Quietly(CollideStrokes);
      break;
    default:
      SelectStroke(roll(AppState().canvas.count + 1));
  }
}

// Over seeded sessions on a canvas painted on before the history starts,
// undoing every step gives back the canvas the first step found and redoing
// every step the final one.
TEST_F(PaintingSteps, UndoingEverythingGivesTheStartRedoingEverythingTheEnd) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    history_.reset();
    PainterTest::SetUp();
    std::mt19937 dice(seed);
    for (int i = 0; i < 3; ++i) RandomAction(dice);
    history_.emplace();
    // Selections are no steps, and an action that changes nothing is not
    // kept: the start is the canvas just before the first kept step.
    std::optional<std::string> start;
    for (int i = 4 + dice() % 12; i > 0; --i) {
      const std::string before = CanvasPrint();
      RandomAction(dice);
      if (!start && history_->Steps().UndoSteps() > 0) start = before;
    }
    const std::string end = CanvasPrint();
    while (history_->Undo()) {
    }
    if (start) {
      EXPECT_EQ(CanvasPrint(), *start);
    }
    while (history_->Redo()) {
    }
    EXPECT_EQ(CanvasPrint(), end);
    if (HasFailure()) return;
  }
}

}  // namespace
