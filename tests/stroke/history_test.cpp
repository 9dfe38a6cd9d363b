// The limits of an undo history; that undoing and redoing every step gives
// back the canvases they started from is checked over the painter's own
// actions, in the tests of kelvra-play's painting history.
#include "stroke/history.h"

#include <gtest/gtest.h>

#include "stroke/build.h"
#include "tests/support/console.h"

namespace {

TEST(CanvasHistory, ANewStepDropsRedoAndLimitsHoldButKeepTheNewestStep) {
  Canvas canvas;
  int selection = 0;
  CanvasHistory history(HistoryLimits{3, 1u << 30});
  StrokeSettings settings;
  RandomGenerator random;
  BuildHooks hooks;
  auto paint = [&](float y) {
    for (int i = 0; i < 4; ++i) canvas.AddPoint(0.1f * i, y);
    history.Begin(canvas, selection);
    history.KeepStroke(canvas, canvas.count);
    Quietly([&] { canvas.CommitStroke(BuildContext{settings, random, hooks}); });
    history.End(canvas, selection);
  };
  for (int i = 0; i < 5; ++i) paint(0.1f * i);
  EXPECT_EQ(history.UndoSteps(), 3u) << "held to three steps";
  ASSERT_TRUE(history.Undo(canvas, selection));
  EXPECT_EQ(canvas.count, 4);
  EXPECT_EQ(history.UndoSlots(), std::vector<int>{3});
  paint(0.9f);
  EXPECT_EQ(history.RedoSteps(), 0u) << "a new step drops what could be redone";

  history.Begin(canvas, selection);
  history.End(canvas, selection);
  EXPECT_EQ(history.UndoSteps(), 3u) << "a step that changed nothing is not kept";

  CanvasHistory tiny(HistoryLimits{100, 1});
  tiny.Begin(canvas, selection);
  tiny.KeepAllStrokes(canvas);
  canvas.DeleteAll();
  tiny.End(canvas, selection);
  EXPECT_EQ(tiny.UndoSteps(), 1u) << "the newest step stays, however large";
  ASSERT_TRUE(tiny.Undo(canvas, selection));
  EXPECT_EQ(canvas.count, 5);
}

}  // namespace
