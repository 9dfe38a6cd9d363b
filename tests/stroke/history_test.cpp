// The limits of an undo history; that undoing and redoing every step gives
// back the canvases they started from is checked over the painter's own
// actions, in the tests of kelvra-play's painting history.
#include "stroke/history.h"

#include <gtest/gtest.h>

#include <functional>

#include "stroke/build.h"
#include "tests/support/console.h"

namespace {

// A canvas and its history, with strokes committed as one step each.
struct Painted {
  Canvas canvas;
  int selection = 0;
  CanvasHistory history;
  StrokeSettings settings;
  RandomGenerator random;
  BuildHooks hooks;

  explicit Painted(HistoryLimits limits = HistoryLimits()) : history(limits) {}
  // `change` as one step, keeping the slot given (-1: every slot) first.
  void Step(int slot, const std::function<void()>& change) {
    history.Begin(canvas, selection);
    slot < 0 ? history.KeepAllStrokes(canvas) : history.KeepStroke(canvas, slot);
    change();
    history.End(canvas, selection);
  }
  void Paint(float y) {
    for (int i = 0; i < 4; ++i) canvas.AddPoint(0.1f * i, y);
    Step(canvas.count, [&] { Quietly([&] { canvas.CommitStroke({settings, random, hooks}); }); });
  }
  void DeleteAll() { Step(-1, [&] { canvas.DeleteAll(); }); }
  bool Undo() { return history.Undo(canvas, selection); }
};

TEST(CanvasHistory, ANewStepDropsRedoAndLimitsHoldButKeepTheNewestStep) {
  Painted painted(HistoryLimits{3, 1u << 30});
  CanvasHistory& history = painted.history;
  for (int i = 0; i < 5; ++i) painted.Paint(0.1f * i);
  EXPECT_EQ(history.UndoSteps(), 3u) << "held to three steps";
  ASSERT_TRUE(painted.Undo());
  EXPECT_EQ(painted.canvas.count, 4);
  EXPECT_EQ(history.UndoSlots(), std::vector<int>{3});
  history.Begin(painted.canvas, painted.selection);
  history.End(painted.canvas, painted.selection);
  EXPECT_EQ(history.UndoSteps(), 2u) << "a step that changed nothing is not kept";
  EXPECT_EQ(history.RedoSteps(), 1u) << "nor does it drop what could be redone";
  painted.Paint(0.9f);
  EXPECT_EQ(history.RedoSteps(), 0u) << "a new step drops what could be redone";

  Painted tiny(HistoryLimits{100, 1});
  for (int i = 0; i < 5; ++i) tiny.Paint(0.1f * i);
  tiny.DeleteAll();
  EXPECT_EQ(tiny.history.UndoSteps(), 1u) << "the newest step stays, however large";
  ASSERT_TRUE(tiny.Undo());
  EXPECT_EQ(tiny.canvas.count, 5);
}

// What the next undo or redo swaps is the newest step's, and the bytes
// counted are those of the steps kept: undo then redo counts what it
// counted before, and a step that drops the redo side counts as it would
// in a history that never had it.
TEST(CanvasHistory, TheNewestStepIsAnnouncedAndBytesFollowTheStepsKept) {
  Painted painted;
  CanvasHistory& history = painted.history;
  painted.Paint(0.1f);
  painted.Paint(0.2f);
  const std::size_t two = history.Bytes();
  ASSERT_TRUE(painted.Undo());
  EXPECT_EQ(history.RedoSlots(), std::vector<int>{1});
  EXPECT_EQ(history.UndoSlots(), std::vector<int>{0});
  ASSERT_TRUE(history.Redo(painted.canvas, painted.selection));
  EXPECT_EQ(history.Bytes(), two);

  painted.DeleteAll();
  painted.Paint(0.3f);
  EXPECT_FALSE(history.UndoReplacesAll());
  EXPECT_EQ(history.UndoSlots(), std::vector<int>{0});
  ASSERT_TRUE(painted.Undo());
  EXPECT_TRUE(history.UndoReplacesAll());
  EXPECT_TRUE(history.UndoSlots().empty());
  EXPECT_FALSE(history.RedoReplacesAll());

  while (painted.Undo()) continue;
  ASSERT_EQ(painted.canvas.count, 0);
  painted.Paint(0.5f);
  Painted fresh;
  fresh.Paint(0.5f);
  EXPECT_EQ(history.Bytes(), fresh.history.Bytes());
}

// A slot kept twice in one step is restored to what it was when the step
// began.
TEST(CanvasHistory, ASlotKeptTwiceUndoesToTheStartOfTheStep) {
  Painted painted;
  painted.Paint(0.1f);
  float& width = painted.canvas.strokes[0].size.widthStart;
  const float before = width;
  painted.Step(0, [&] {
    width += 1;
    painted.history.KeepStroke(painted.canvas, 0);
    width += 1;
  });
  ASSERT_TRUE(painted.Undo());
  EXPECT_EQ(width, before);
}

}  // namespace
