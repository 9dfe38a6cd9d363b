// Controls driven with real input under Xvfb: events go through the layer's
// own GLUT handlers (the queue the subwindow's mouse, motion and keyboard
// callbacks fill) and frames are drawn exactly as the display callback does.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "glui/engine.h"
#include "glui/glui.h"
#include "glui/metrics.h"
#include "tests/support/gl_window.h"

using namespace glui_internal;

namespace {

struct Call {
  int id;
  double value;
  int window;
};
std::vector<Call> calls;

int IntValue = 10;
float FloatValue = 0.5f;
int Flag = 0;
float Ball[16];
int NotUsed = 0;

double CurrentValue(int id) {
  switch (id) {
    case 1: return IntValue;
    case 2: return FloatValue;
    case 3: return Flag;
    default: return 0;
  }
}

void Record(int id) { calls.push_back({id, CurrentValue(id), glutGetWindow()}); }

// One BOTTOM and one RIGHT subwindow of an 800x600 window, built once.
struct Scene {
  int main_window = 0;
  GLUI* right = nullptr;
  GLUI* bottom = nullptr;
  GLUI_Spinner* int_spinner = nullptr;
  GLUI_Spinner* float_spinner = nullptr;
  GLUI_Checkbox* checkbox = nullptr;
  GLUI_Button* button = nullptr;
  GLUI_Rotation* ball = nullptr;
};

Scene& TheScene() {
  static Scene scene = [] {
    Scene s;
    s.main_window = EnsureHiddenGlWindow(800, 600);
    for (int i = 0; i < 16; ++i) Ball[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    s.right = GLUI_Master.create_glui_subwindow(s.main_window, GLUI_SUBWINDOW_RIGHT);
    s.right->set_main_gfx_window(s.main_window);
    GLUI_Panel* panel = s.right->add_panel("Values");
    s.int_spinner = s.right->add_spinner_to_panel(panel, "Int:", GLUI_SPINNER_INT,
                                                  &IntValue, 1, Record);
    s.int_spinner->set_int_limits(0, 100, GLUI_LIMIT_CLAMP);
    s.float_spinner = s.right->add_spinner_to_panel(panel, "Float:", GLUI_SPINNER_FLOAT,
                                                    &FloatValue, 2, Record);
    s.checkbox = s.right->add_checkbox("Flag", &Flag, 3, Record);
    s.button = s.right->add_button("Press", 4, Record);
    s.ball = s.right->add_rotation("Ball", Ball, 5, Record);
    s.ball->set_spin(0.9f);
    s.bottom = GLUI_Master.create_glui_subwindow(s.main_window, GLUI_SUBWINDOW_BOTTOM);
    s.bottom->add_checkbox("Unused", &NotUsed);
    return s;
  }();
  return scene;
}

// Draws frames until every queued event has been applied, plus a settling
// frame, as the GLUT loop would.
void Pump(GLUI& gui) {
  glutSetWindow(gui.get_glut_window_id());
  for (int i = 0; i < 200 && !gui.engine->queue.empty(); ++i) DrawFrame(gui);
  DrawFrame(gui);
}

void Click(GLUI& gui, int x, int y) {
  QueueMotion(gui, x, y);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_UP, x, y, 0);
  Pump(gui);
}

void Type(GLUI& gui, const char* text) {
  for (const char* c = text; *c; ++c) QueueKey(gui, static_cast<unsigned char>(*c), false, 0);
  Pump(gui);
}

int CentreX(const GLUI_Control* c) { return c->x + c->w / 2; }
int CentreY(const GLUI_Control* c) { return c->y + c->h / 2; }

// The text box of a spinner, from the layer's metrics.
int SpinnerBoxX(const GLUI_Spinner* s) {
  return s->x + glui_metrics::TextWidth(s->get_name()) + glui_metrics::kSpinnerLabelGap + 20;
}
int SpinnerArrowX(const GLUI_Spinner* s) { return s->x + s->w - 5; }

class GluiInput : public testing::Test {
 protected:
  void SetUp() override {
    scene = &TheScene();
    Pump(*scene->right);  // first frames build the fonts and windows
    Pump(*scene->right);
    calls.clear();
  }
  Scene* scene = nullptr;
};

}  // namespace

TEST_F(GluiInput, TypedValueCommitsOnEnterClampedAndCallbackSeesIt) {
  GLUI& gui = *scene->right;
  GLUI_Spinner* s = scene->int_spinner;
  Click(gui, SpinnerBoxX(s), CentreY(s));
  Type(gui, "500");
  EXPECT_EQ(IntValue, 10) << "nothing is written while typing";
  EXPECT_TRUE(calls.empty());
  Type(gui, "\r");
  EXPECT_EQ(IntValue, 100);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].id, 1);
  EXPECT_EQ(calls[0].value, 100);
  EXPECT_EQ(calls[0].window, scene->main_window) << "callback runs in the main window";
  EXPECT_STREQ(s->text, "100");
  IntValue = 10;
  GLUI_Master.sync_live_all();
}

TEST_F(GluiInput, TypedValueCommitsWhenTheMainWindowIsClicked) {
  GLUI& gui = *scene->right;
  GLUI_Spinner* s = scene->float_spinner;
  Click(gui, SpinnerBoxX(s), CentreY(s));
  Type(gui, "0.25");
  glutSetWindow(scene->main_window);
  ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
  Pump(gui);
  EXPECT_FLOAT_EQ(FloatValue, 0.25f);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].id, 2);
  // Clicking in and out again changes nothing and calls nothing.
  calls.clear();
  Click(gui, SpinnerBoxX(s), CentreY(s));
  glutSetWindow(scene->main_window);
  ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
  Pump(gui);
  EXPECT_TRUE(calls.empty());
  FloatValue = 0.5f;
  GLUI_Master.sync_live_all();
}

TEST_F(GluiInput, ArrowClickStepsAndDragSlidesWithinLimits) {
  GLUI& gui = *scene->right;
  GLUI_Spinner* s = scene->int_spinner;
  const int ax = SpinnerArrowX(s), ay = s->y + 4;
  Click(gui, ax, ay);
  EXPECT_EQ(IntValue, 11);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls.back().value, 11);

  // Press the arrow, drag 400 px up: (100 - 0) / 800 per pixel = +50.
  calls.clear();
  QueueMotion(gui, ax, ay);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_DOWN, ax, ay, 0);
  Pump(gui);
  for (int step = 1; step <= 40; ++step) {
    QueueMotion(gui, ax, ay - 10 * step);
    Pump(gui);
  }
  EXPECT_NEAR(IntValue, 62, 1);
  EXPECT_EQ(calls.back().value, IntValue) << "callback sees the written value";
  // Much further: pinned at the high limit.
  for (int step = 41; step <= 200; ++step) {
    QueueMotion(gui, ax, ay - 10 * step);
    Pump(gui);
  }
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_UP, ax, ay - 2000, 0);
  Pump(gui);
  EXPECT_EQ(IntValue, 100);
  EXPECT_EQ(calls.back().value, 100);
  IntValue = 10;
  GLUI_Master.sync_live_all();
}

TEST_F(GluiInput, CheckboxTogglesBetweenZeroAndOne) {
  GLUI& gui = *scene->right;
  GLUI_Checkbox* box = scene->checkbox;
  Flag = 5;  // any non-zero shows checked; a click writes 0
  GLUI_Master.sync_live_all();
  for (int expected : {0, 1, 0}) {
    SCOPED_TRACE(expected);
    Click(gui, box->x + 5, CentreY(box));
    EXPECT_EQ(Flag, expected);
    EXPECT_EQ(calls.back().id, 3);
    EXPECT_EQ(calls.back().value, expected);
  }
  EXPECT_EQ(calls.size(), 3u);
}

TEST_F(GluiInput, ButtonFiresOnReleaseInsideOnly) {
  GLUI& gui = *scene->right;
  GLUI_Button* b = scene->button;
  const int x = CentreX(b), y = CentreY(b);
  QueueMotion(gui, x, y);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_DOWN, x, y, 0);
  Pump(gui);
  EXPECT_TRUE(calls.empty()) << "nothing on press";
  EXPECT_TRUE(b->IsHeld());
  QueueMotion(gui, x + 300, y);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_UP, x + 300, y, 0);
  Pump(gui);
  EXPECT_TRUE(calls.empty()) << "released outside: cancelled";
  Click(gui, x, y);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].id, 4);
}

TEST_F(GluiInput, SyncShowsCodeChangesWithoutCallbacks) {
  IntValue = 250;
  FloatValue = 0.75f;
  GLUI_Master.sync_live_all();
  Pump(*scene->right);
  EXPECT_EQ(scene->int_spinner->get_int_val(), 100);
  EXPECT_EQ(IntValue, 100) << "clamped value written back";
  EXPECT_STREQ(scene->float_spinner->text, "0.75");
  EXPECT_TRUE(calls.empty());
  IntValue = 10;
  FloatValue = 0.5f;
  GLUI_Master.sync_live_all();
}

TEST_F(GluiInput, ViewportAreaLeavesOutBottomAndRightSubwindows) {
  glutSetWindow(scene->main_window);
  int x, y, w, h;
  GLUI_Master.get_viewport_area(&x, &y, &w, &h);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, scene->bottom->root.h);
  EXPECT_EQ(w, 800 - scene->right->root.w);
  EXPECT_EQ(h, 600 - scene->bottom->root.h);
}

TEST_F(GluiInput, RotationStaysOrthonormalAndSpinsDownToRest) {
  GLUI& gui = *scene->right;
  GLUI_Rotation* ball = scene->ball;
  const int cx = CentreX(ball), cy = ball->y + 25;
  // Many drags in circles around the ball.
  for (int drag = 0; drag < 20; ++drag) {
    QueueMotion(gui, cx, cy);
    QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_DOWN, cx, cy, 0);
    Pump(gui);
    int mx = cx, my = cy;
    for (int t = 0; t < 30; ++t) {
      double a = (drag * 30 + t) * 0.3;
      mx = cx + static_cast<int>(18 * std::cos(a));
      my = cy + static_cast<int>(18 * std::sin(a));
      QueueMotion(gui, mx, my);
      Pump(gui);
    }
    // Pause, then release where the pointer rests: no flick, no spin.
    QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_UP, mx, my, 0);
    glutSetWindow(gui.get_glut_window_id());
    double until = Now() + 0.15;
    while (Now() < until) {
    }
    Pump(gui);
    EXPECT_FALSE(ball->spinning);
  }
  ASSERT_GT(calls.size(), 100u);
  for (const Call& c : calls) EXPECT_EQ(c.id, 5);
  auto expect_orthonormal = [] {
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) {
        float dot = 0;
        for (int k = 0; k < 3; ++k) dot += Ball[a * 4 + k] * Ball[b * 4 + k];
        EXPECT_NEAR(dot, a == b ? 1.0f : 0.0f, 1e-5);
      }
  };
  expect_orthonormal();

  // A flick: press, move, release in the same moment.
  QueueMotion(gui, cx, cy);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_DOWN, cx, cy, 0);
  Pump(gui);
  QueueMotion(gui, cx + 10, cy);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_UP, cx + 10, cy, 0);
  Pump(gui);
  ASSERT_TRUE(ball->spinning);
  calls.clear();
  float before[16];
  std::copy(Ball, Ball + 16, before);
  int ticks = 0;
  while (ball->spinning && ticks < 1000) {
    Idle();
    ++ticks;
  }
  EXPECT_FALSE(ball->spinning) << "damping 0.9 comes to rest";
  EXPECT_GT(ticks, 5);
  EXPECT_NE(before[0], Ball[0]) << "the spin turned the matrix";
  EXPECT_TRUE(calls.empty()) << "no callback while spinning";
  expect_orthonormal();
}

TEST_F(GluiInput, ClickInMainWindowStopsSpin) {
  GLUI& gui = *scene->right;
  GLUI_Rotation* ball = scene->ball;
  const int cx = CentreX(ball), cy = ball->y + 25;
  QueueMotion(gui, cx, cy);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_DOWN, cx, cy, 0);
  Pump(gui);
  QueueMotion(gui, cx, cy + 10);
  QueueMouse(gui, GLUT_LEFT_BUTTON, GLUT_UP, cx, cy + 10, 0);
  Pump(gui);
  ASSERT_TRUE(ball->spinning);
  glutSetWindow(scene->main_window);
  ParentMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
  EXPECT_FALSE(ball->spinning);
}
