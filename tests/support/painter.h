#pragma once
// For tests of the painter's actions: the application state of a fresh
// start on the hidden window, strokes painted and committed as a person
// paints them, and everything cleared again afterwards.

#include <gtest/gtest.h>

#include "actions/actions.h"
#include "state/state.h"
#include "tests/support/console.h"
#include "tests/support/gl_window.h"

class PainterTest : public testing::Test {
 public:
  // The `nodes` points of a straight stroke from (x0, y0) by (dx, dy).
  static void AddPoints(float x0, float y0, float dx, float dy, int nodes) {
    for (int i = 0; i < nodes; ++i) AddPaintedPoint(x0 + dx * i, y0 + dy * i);
  }
  // Those points, committed without the build's console lines.
  static void Paint(float x0, float y0, float dx, float dy, int nodes = 8) {
    AddPoints(x0, y0, dx, dy, nodes);
    Quietly(CommitPaintedStroke);
  }

 protected:
  void SetUp() override {
    ResetApplicationStateForTesting();
    AppState().windows.main.id = EnsureHiddenGlWindow();
    AppState().canvas.DeleteAll();
  }
  void TearDown() override {
    ResetApplicationStateForTesting();
    AppState().canvas.DeleteAll();
    AppState().windows.main.id = 0;
  }
};
