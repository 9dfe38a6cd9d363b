// The recorder's script lines for events a person gives a window, and where
// the replayer delivers scripted pointer events in a window that holds
// control subwindows, on a hidden window of this test's own (GLUT's
// registrations pass through kelvra-play's tap here as they do there).
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "glui/glui.h"
#include "play/pointer_routing.h"
#include "play/recorder.h"
#include "play/windows.h"
#include "state/state.h"
#include "tests/support/gl_window.h"

namespace {

// What a window's callbacks were given: the window, the button (-1 for a
// move), its state (for a move, whether a button is held), x and y.
using Delivered = std::array<int, 5>;
std::vector<Delivered> delivered;

void Listen(int window) {
  glutSetWindow(window);
  glutMouseFunc([](int button, int state, int x, int y) {
    delivered.push_back({glutGetWindow(), button, state, x, y});
  });
  glutMotionFunc([](int x, int y) { delivered.push_back({glutGetWindow(), -1, 1, x, y}); });
  glutPassiveMotionFunc([](int x, int y) { delivered.push_back({glutGetWindow(), -1, 0, x, y}); });
}

// The hidden window as the main view, with a control subwindow on its left
// and one on its right.
class Playing : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    top_ = EnsureHiddenGlWindow(400, 300);
    AppState().windows.main.id = top_;
    for (int side : {GLUI_SUBWINDOW_LEFT, GLUI_SUBWINDOW_RIGHT}) {
      GLUI* glui = GLUI_Master.create_glui_subwindow(top_, side);
      glui->add_button("A button wide enough");
      (side == GLUI_SUBWINDOW_LEFT ? left_ : right_) = glui->get_glut_window_id();
    }
    glutMainLoopEvent();  // GLUT gives the subwindows their laid-out sizes
    for (int window : {top_, left_, right_}) Listen(window);
  }

  void SetUp() override { delivered.clear(); }

  static void Deliver(PointerRouting& routing, EventKind kind, int button, int x, int y) {
    Event event;
    event.kind = kind, event.button = button, event.x = x, event.y = y;
    routing.Deliver(top_, event);
  }

  static int top_, left_, right_;
};
int Playing::top_ = 0, Playing::left_ = 0, Playing::right_ = 0;

// A press goes to the window under the pointer, in its own pixels; the
// window a button was pressed in keeps the pointer, and every button
// pressed meanwhile, until all are up.
TEST_F(Playing, PointerEventsReachTheWindowUnderThePointerAndStayWhileAButtonIsHeld) {
  const WindowRect left = PlaceOfWindow(left_), right = PlaceOfWindow(right_);
  ASSERT_GT(left.width, 0);
  ASSERT_GT(right.x, left.width) << "the subwindows lie apart";
  PointerRouting routing;
  const int l = GLUT_LEFT_BUTTON, m = GLUT_MIDDLE_BUTTON;
  for (int x : {left.width, left.width - 1}) {
    Deliver(routing, EventKind::kPress, l, x, 10);
    Deliver(routing, EventKind::kRelease, l, x, 10);
  }
  const int x = right.x + 3, y = right.y + 4;
  Deliver(routing, EventKind::kPress, l, x, y);
  Deliver(routing, EventKind::kMove, 0, x - 50, y + 7);
  Deliver(routing, EventKind::kPress, m, 1, 1);
  Deliver(routing, EventKind::kRelease, m, 1, 1);
  Deliver(routing, EventKind::kRelease, l, x - 60, y);
  Deliver(routing, EventKind::kMove, 0, x, y);
  Deliver(routing, EventKind::kMove, 0, 1, 1);
  const int down = GLUT_DOWN, up = GLUT_UP;
  const std::vector<Delivered> expected = {
      {top_, l, down, left.width, 10},
      {top_, l, up, left.width, 10},
      {left_, l, down, left.width - 1, 10 - left.y},
      {left_, l, up, left.width - 1, 10 - left.y},
      {right_, l, down, 3, 4},
      {right_, -1, 1, -47, 11},
      {right_, m, down, 1 - right.x, 1 - right.y},
      {right_, m, up, 1 - right.x, 1 - right.y},
      {right_, l, up, -57, 4},
      {right_, -1, 0, 3, 4},
      {left_, -1, 0, 1, 1 - left.y},
  };
  EXPECT_EQ(delivered, expected);
}

// The lines of a recording, without its first line and its pauses (which
// depend on how fast the test runs).
std::vector<std::string> LinesOf(std::FILE* journal) {
  std::rewind(journal);
  std::vector<std::string> lines;
  for (char line[256]; std::fgets(line, sizeof line, journal);)
    if (line[0] != '#' && std::strncmp(line, "wait ", 5) != 0)
      lines.emplace_back(line, std::strcspn(line, "\n"));
  return lines;
}

// Keys keep the modifiers that change them (Ctrl and Alt; a letter's case
// tells Shift) and GLUT's control codes read as Ctrl+letter; the idle steps
// since the last event come before it; the main view's first size is its
// opening, a later one a resize, the same size again nothing.
TEST_F(Playing, TheRecorderWritesEachEventAsTheLineThatReplaysIt) {
  std::FILE* journal = std::tmpfile();
  ASSERT_NE(journal, nullptr);
  {
    Recorder recorder(journal);
    recorder.Start();
    for (int i = 0; i < 3; ++i) recorder.Idle();
    recorder.Keyboard(top_, 26, 0);
    recorder.Keyboard(top_, 1, kCtrlKey);
    recorder.Idle();
    recorder.Keyboard(top_, 'A', kAltKey | kShiftKey);
    recorder.Keyboard(top_, 200, 0);
    recorder.Mouse(top_, GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 6, 0);
    // A wheel notch is one line, with the modifier that changes what it does.
    for (const int state : {GLUT_DOWN, GLUT_UP}) recorder.Mouse(top_, 3, state, 9, 9, kShiftKey);
    recorder.Mouse(top_, 6, GLUT_DOWN, 9, 9, kAltKey);
    // A drag's motion in the main view is written once handled, with the
    // pressure it was painted with when a pen made it (none here).
    recorder.Motion(top_, 7, 8, true);
    recorder.MotionHandled(top_);
    for (const auto& [w, h] : {std::pair{400, 300}, {400, 250}, {400, 250}, {320, 250}})
      recorder.Reshape(top_, w, h);
  }
  const std::vector<std::string> expected = {
      "frames 3",        "window main", "key Ctrl+Z",     "key Ctrl+A",
      "frames 1",        "key Alt+A",   "press left 5 6", "wheel up 9 9 shift",
      "wheel right 9 9", "move 7 8",    "resize 400 250", "resize 320 250",
  };
  EXPECT_EQ(LinesOf(journal), expected);
  std::fclose(journal);
}

}  // namespace
