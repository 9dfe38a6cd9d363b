// kelvra-play's undo and redo over the painter's own actions: each step is
// one action a person takes, and stepping back restores the strokes, the
// count and the selection the action found.
#include "actions/painting_history.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "actions/documents.h"
#include "tests/actions/painter_session.h"
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

// Each action is one step, a selection none; a crossing stroke's pile-ups
// undo with it and the selection it found comes back; nothing undoes or
// redoes while a stroke is being painted.
TEST_F(PaintingSteps, EachActionIsOneStepAndPaintingBlocksBoth) {
  Paint(-0.8f, 0.0f, 0.2f, 0.0f);
  Paint(-0.8f, 0.4f, 0.2f, 0.0f);
  AppState().collisions.afterStroke = 1;
  Paint(0.0f, -0.8f, 0.0f, 0.2f);  // down across both: it piles up where it crosses
  SelectStroke(2);
  DeleteSelectedStroke();
  DeleteAllStrokes();
  EXPECT_EQ(history_->Steps().UndoSteps(), 5u) << "three commits, two deletes; no selection step";
  for (int step = 0; step < 3; ++step) ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(AppState().canvas.count, 2) << "the crossing stroke and its pile-ups go together";
  EXPECT_EQ(AppState().interaction.selectedStroke, 0) << "the selection the commit found";
  ASSERT_TRUE(history_->Redo());
  EXPECT_EQ(AppState().interaction.selectedStroke, 2)
      << "redo gives back the selection undo took away";
  AppState().interaction.painting = 1;
  EXPECT_FALSE(history_->Undo());
  EXPECT_FALSE(history_->Redo());
}

// The records the painting keeper holds for saving are those of the strokes
// as they stand: each is what encoding its stroke afresh gives.
void ExpectKeptRecordsCurrent() {
  const PaintingSnapshot snapshot = ThePaintingKeeper().Snapshot(false);
  const Canvas& canvas = AppState().canvas;
  ASSERT_EQ(snapshot.strokes.size(), static_cast<std::size_t>(canvas.count));
  for (int i = 0; i < canvas.count; ++i)
    ASSERT_EQ(snapshot.strokes[i]->bytes, EncodeStroke(canvas.strokes[i])->bytes) << "slot " << i;
}

// Over seeded sessions on a canvas painted on before the history starts,
// undoing every step gives back the canvas the first step found and redoing
// every step the final one; every action, undo and redo tells the keeper
// which strokes it changed.
TEST_F(PaintingSteps, UndoingEverythingGivesTheStartRedoingEverythingTheEnd) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    history_.reset();
    PainterTest::SetUp();
    DeleteAllStrokes();  // the keeper's records start from the empty canvas
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
      ExpectKeptRecordsCurrent();
    }
    const std::string end = CanvasPrint();
    while (history_->Undo()) ExpectKeptRecordsCurrent();
    EXPECT_EQ(CanvasPrint(), start.value_or(CanvasPrint()));
    while (history_->Redo()) ExpectKeptRecordsCurrent();
    EXPECT_EQ(CanvasPrint(), end);
    if (HasFailure()) return;
  }
}

}  // namespace
