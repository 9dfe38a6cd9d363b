// Layout metrics and live-variable sync of the control tree, computed without
// any window: a GLUI that has no subwindow yet only does arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "glui/glui.h"
#include "glui/metrics.h"

using namespace glui_metrics;

namespace {

int callbacks_seen = 0;
void CountCallback(int) { ++callbacks_seen; }

}  // namespace

TEST(GluiLayout, ButtonsAreAtLeastAHundredWide) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Button* small = gui.add_button("+");
  GLUI_Button* wide = gui.add_button("A rather long button label");
  EXPECT_EQ(small->w, 100);
  EXPECT_EQ(small->h, 20);
  EXPECT_EQ(wide->w, 26 * kCharWidth + kButtonTextExtra);
  // Single column: widest + both margins.
  EXPECT_EQ(gui.root.w, wide->w + 2 * kMargin);
  EXPECT_EQ(wide->y, kMargin + 20 + kItemGap);
  EXPECT_EQ(gui.root.h, kMargin + 20 + kItemGap + 20 + kMargin);
}

TEST(GluiLayout, ColumnsStartPastTheWidestControlWithOptionalBar) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  gui.add_button("first");                       // 100 wide
  gui.add_column(true);
  GLUI_Button* second = gui.add_button("second");
  gui.add_column(false);
  GLUI_Checkbox* third = gui.add_checkbox("third");
  const int second_x = kMargin + 100 + kColumnGap + kBarWidth + kColumnGap;
  EXPECT_EQ(second->x, second_x);
  EXPECT_EQ(second->y, kMargin);  // columns are top-aligned
  ASSERT_EQ(gui.root.bar_x.size(), 2u);
  EXPECT_EQ(gui.root.bar_x[0], kMargin + 100 + kColumnGap);
  EXPECT_EQ(gui.root.bar_x[1], -1);
  EXPECT_EQ(third->x, second_x + 100 + kColumnGap);
  EXPECT_EQ(gui.root.w, third->x + third->w + kMargin);
}

TEST(GluiLayout, AlignmentWithinTheColumn) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  gui.add_button("A label wider than a hundred px");
  GLUI_Button* b = gui.add_button("b");
  const int column = gui.root.columns[0].width;
  struct Case { int alignment; int x; };
  for (Case c : {Case{GLUI_ALIGN_LEFT, kMargin}, Case{GLUI_ALIGN_RIGHT, kMargin + column - 100},
                 Case{GLUI_ALIGN_CENTER, kMargin + (column - 100) / 2}}) {
    SCOPED_TRACE(c.alignment);
    b->set_alignment(c.alignment);
    EXPECT_EQ(b->x, c.x);
  }
}

TEST(GluiLayout, TitledPanelsMakeRoomForTitleAndContent) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Panel* panel = gui.add_panel("A very long panel title indeed");
  GLUI_Checkbox* box = gui.add_checkbox_to_panel(panel, "x");
  EXPECT_EQ(panel->w, 30 * kCharWidth + kTitleMinExtra);
  EXPECT_EQ(box->y, panel->y + kTitledPanelTop);
  EXPECT_EQ(panel->h, kTitledPanelTop + kCheckboxSquare + kMargin);
  gui.add_separator_to_panel(panel);
  EXPECT_EQ(panel->children.back()->w, panel->columns[0].width);  // spans its column
}

// Code changes shown by sync never count as user changes.
TEST(GluiSync, SpinnerClampsAndWritesBackCheckboxFollowsNoCallbacks) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  int level = 3, flag = 0;
  GLUI_Spinner* spinner = gui.add_spinner("n", GLUI_SPINNER_INT, &level, 7, CountCallback);
  spinner->set_int_limits(0, 5, GLUI_LIMIT_CLAMP);
  GLUI_Checkbox* box = gui.add_checkbox("flag", &flag, 1, CountCallback);
  callbacks_seen = 0;
  struct Case { int set; int shown; };
  for (Case c : {Case{4, 4}, Case{9, 5}, Case{-2, 0}}) {
    SCOPED_TRACE(c.set);
    level = c.set;
    flag = c.shown != 0;
    gui.sync_live();
    EXPECT_EQ(spinner->get_int_val(), c.shown);
    EXPECT_EQ(level, c.shown);
    EXPECT_STREQ(spinner->text, std::to_string(c.shown).c_str());
    EXPECT_EQ(box->get_int_val(), flag);
  }
  EXPECT_EQ(callbacks_seen, 0);
}

TEST(GluiSpinner, LimitsPinAnOutOfRangeValueToLow) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  int lod = 0;
  gui.add_spinner("LOD:", GLUI_SPINNER_INT, &lod)->set_int_limits(1, 64);
  EXPECT_EQ(lod, 1);
  int inside = 30;
  gui.add_spinner("LOD:", GLUI_SPINNER_INT, &inside)->set_int_limits(1, 64);
  EXPECT_EQ(inside, 30);
}

TEST(GluiSpinner, FloatTextHasSixDigitsAndADecimal) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  struct Case { float value; const char* text; };
  for (Case c : {Case{1.0f, "1.0"}, Case{0.5f, "0.5"}, Case{0.025f, "0.025"},
                 Case{123456.7f, "123457.0"}, Case{-2.0f, "-2.0"}}) {
    SCOPED_TRACE(c.text);
    float v = c.value;
    GLUI_Spinner* spinner = gui.add_spinner("f", GLUI_SPINNER_FLOAT, &v);
    EXPECT_STREQ(spinner->text, c.text);
  }
}
