// kelvra-play's undo and redo over the painter's own actions: each step is
// one action a person takes, and stepping back restores the strokes, the
// count and the selection the action found.
#include "play/painting_history.h"

#include <gtest/gtest.h>

#include <optional>

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

  static float Height(int slot, int node) { return TheCanvas.strokes[slot].path[node].height; }

  std::optional<PaintingHistory> history_;
};

TEST_F(PaintingSteps, EachActionIsOneStepBackAndForth) {
  Paint(-0.8f, 0.0f, 0.2f, 0.0f);
  Paint(-0.8f, 0.4f, 0.2f, 0.0f);
  CollideAfterStroke = 1;
  Paint(0.0f, -0.8f, 0.0f, 0.2f);  // down across both: it piles up where it crosses
  std::vector<float> piled;
  for (std::size_t n = 0; n < TheCanvas.strokes[2].path.size(); ++n) piled.push_back(Height(2, n));
  SelectStroke(2);
  DeleteSelectedStroke();
  DeleteAllStrokes();
  EXPECT_EQ(history_->Steps().UndoSteps(), 5u) << "three commits, two deletes; no selection step";

  ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(TheCanvas.count, 3) << "Delete All undone";
  EXPECT_EQ(TheCanvas.strokes[1].deleted, 1);
  ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(TheCanvas.strokes[1].deleted, 0) << "Delete Selected undone";
  EXPECT_EQ(SelectedStroke, 2);
  ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(TheCanvas.count, 2) << "the crossing stroke and its pile-ups go together";
  EXPECT_EQ(SelectedStroke, 0) << "the selection the commit found";
  EXPECT_TRUE(TheCanvas.strokes[2].path.empty());

  ASSERT_TRUE(history_->Redo());
  ASSERT_EQ(TheCanvas.count, 3);
  for (std::size_t n = 0; n < piled.size(); ++n) EXPECT_EQ(Height(2, n), piled[n]) << n;
  EXPECT_EQ(SelectedStroke, 2) << "redo gives back the selection undo took away";

  // A new action drops what could be redone; painting blocks both ways.
  Paint(0.5f, -0.5f, 0.0f, 0.1f);
  EXPECT_FALSE(history_->Redo());
  Painting = 1;
  EXPECT_FALSE(history_->Undo());
  Painting = 0;
  EXPECT_TRUE(history_->Undo());
  EXPECT_EQ(TheCanvas.count, 3);
}

}  // namespace
