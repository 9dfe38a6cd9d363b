// Layout metrics and live-variable sync of the control tree, computed without
// any window: a GLUI that has no subwindow yet only does arithmetic.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "glui/engine.h"
#include "glui/glui.h"
#include "glui/metrics.h"

using namespace glui_metrics;
using glui_internal::Layer;

namespace {

// Where the layout put a control, and the tree's root.
Layer::Box BoxOf(const GLUI_Control* control) { return Layer::BoxOf(*control); }
const GLUI_Panel& Root(const GLUI& gui) { return Layer::Root(gui); }

int callbacks_seen = 0;
void CountCallback(int) { ++callbacks_seen; }

// Buttons are at least a hundred wide and stack in a column as wide as the
// widest; a column starts past the widest control of the one before, with
// an etched bar between them if asked for, all columns top-aligned.
TEST(GluiLayout, ButtonsStackAndColumnsStartPastTheWidest) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Button* small = gui.add_button("+");
  EXPECT_EQ(std::make_pair(BoxOf(small).w, BoxOf(small).h), std::make_pair(100, 20));
  const Layer::Box wide = BoxOf(gui.add_button("A rather long button label"));
  EXPECT_EQ(wide.w, 26 * kCharWidth + kButtonTextExtra);
  EXPECT_EQ(wide.y, kMargin + 20 + kItemGap);
  gui.add_column(true);
  GLUI_Button* second = gui.add_button("second");
  gui.add_column(false);
  GLUI_Checkbox* third = gui.add_checkbox("third");
  const int secondX = kMargin + wide.w + kColumnGap + kBarWidth + kColumnGap;
  EXPECT_EQ(std::make_pair(BoxOf(second).x, BoxOf(second).y), std::make_pair(secondX, kMargin));
  EXPECT_EQ(Layer::Bars(Root(gui)), (std::vector<int>{kMargin + wide.w + kColumnGap, -1}));
  EXPECT_EQ(BoxOf(third).x, secondX + 100 + kColumnGap);
  EXPECT_EQ(Layer::BoxOf(Root(gui)).w, BoxOf(third).x + BoxOf(third).w + kMargin);
  EXPECT_EQ(Layer::BoxOf(Root(gui)).h, kMargin + 20 + kItemGap + 20 + kMargin);
}

// A control narrower than its column sits left, right or centred in it; a
// titled panel is wide enough for its title and tall enough for it and its
// content; a separator spans its column.
TEST(GluiLayout, AlignmentInTheColumnAndTitledPanels) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  gui.add_button("A label wider than a hundred px");
  GLUI_Button* b = gui.add_button("b");
  const int column = Layer::ColumnWidth(Root(gui), 0);
  const struct {
    int alignment, x;
  } cases[] = {{GLUI_ALIGN_LEFT, kMargin},
               {GLUI_ALIGN_RIGHT, kMargin + column - 100},
               {GLUI_ALIGN_CENTER, kMargin + (column - 100) / 2}};
  for (const auto& c : cases) {
    b->set_alignment(c.alignment);
    EXPECT_EQ(BoxOf(b).x, c.x) << c.alignment;
  }
  GLUI_Panel* panel = gui.add_panel("A very long panel title indeed");
  GLUI_Checkbox* box = gui.add_checkbox_to_panel(panel, "x");
  EXPECT_EQ(BoxOf(panel).w, 30 * kCharWidth + kTitleMinExtra);
  EXPECT_EQ(BoxOf(box).y, BoxOf(panel).y + kTitledPanelTop);
  EXPECT_EQ(BoxOf(panel).h, kTitledPanelTop + kCheckboxSquare + kMargin);
  gui.add_separator_to_panel(panel);
  EXPECT_EQ(Layer::BoxOf(Layer::LastChild(*panel)).w, Layer::ColumnWidth(*panel, 0));
}

// A text field is its label, a gap and a box, the box as wide as the
// metrics say or as set_w leaves it (never narrower than a small box); a
// list is its rows and insets tall, the scrollbar inside its width. Both
// stack in their panel as the other controls do.
TEST(GluiLayout, TextFieldsAndListsSizeFromTheMetricsOrTheirSetters) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  std::string text;
  GLUI_Panel* panel = gui.add_panel("Open");
  GLUI_List* list = gui.add_list_to_panel(panel, true);
  GLUI_EditText* field = gui.add_edittext_to_panel(panel, "Name:", GLUI_EDITTEXT_TEXT, &text);
  const int label = 5 * kCharWidth + kEditTextLabelGap;
  const int rows = kListRows * kListRowHeight + 2 * kListInset,
            row = 2 * kListInset + kListRowHeight;
  const struct {
    int fieldW, listW, listH, shownFieldW, shownListW, shownListH;
  } cases[] = {{0, 0, 0, label + kEditTextBoxWidth, kListWidth, rows},
               {300, 90, 40, 300, 90, 40},
               {10, 1, 1, label + kEditTextMinBox, row + kScrollbarWidth, row}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fieldW);
    field->set_w(c.fieldW);
    list->set_w(c.listW);
    list->set_h(c.listH);
    EXPECT_EQ((std::vector{BoxOf(field).w, BoxOf(field).h, BoxOf(list).w, BoxOf(list).h}),
              (std::vector{c.shownFieldW, kEditTextHeight, c.shownListW, c.shownListH}));
    EXPECT_EQ(BoxOf(field).y, BoxOf(list).y + BoxOf(list).h + kItemGap);
    EXPECT_EQ(BoxOf(panel).h,
              kTitledPanelTop + BoxOf(list).h + kItemGap + kEditTextHeight + kMargin);
  }
  EXPECT_EQ(gui.add_edittext("Age:", GLUI_EDITTEXT_TEXT + 1), nullptr) << "text fields hold text";
}

// Code changes shown by sync never count as user changes; a spinner's
// limits pin the value at once, an out-of-range one to the low end when
// they are set.
TEST(GluiSync, SpinnerClampsAndWritesBackCheckboxFollowsNoCallbacks) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  int level = 3, flag = 0;
  GLUI_Spinner* spinner = gui.add_spinner("n", GLUI_SPINNER_INT, &level, 7, CountCallback);
  spinner->set_int_limits(0, 5, GLUI_LIMIT_CLAMP);
  GLUI_Checkbox* box = gui.add_checkbox("flag", &flag, 1, CountCallback);
  std::string name = "a";
  GLUI_EditText* field = gui.add_edittext("name", GLUI_EDITTEXT_TEXT, &name, 2, CountCallback);
  callbacks_seen = 0;
  for (const auto& [set, shown] : {std::pair{4, 4}, {9, 5}, {-2, 0}}) {
    SCOPED_TRACE(set);
    level = set;
    flag = shown != 0;
    name = std::string(static_cast<std::size_t>(shown), 'x');
    gui.sync_live();
    EXPECT_EQ(std::make_pair(spinner->get_int_val(), level), std::make_pair(shown, shown));
    EXPECT_STREQ(Layer::TextOf(*spinner), std::to_string(shown).c_str());
    EXPECT_EQ(box->get_int_val(), flag);
    EXPECT_EQ(field->get_text(), name);
  }
  EXPECT_EQ(callbacks_seen, 0);
  int lod = 0, inside = 30, top = 64, above = 65;
  for (int* value : {&lod, &inside, &top, &above})
    gui.add_spinner("LOD:", GLUI_SPINNER_INT, value)->set_int_limits(1, 64);
  EXPECT_EQ(std::make_tuple(lod, inside, top, above), std::make_tuple(1, 30, 64, 1));
}

// A line set in code is held to the items there are.
TEST(GluiList, TheCurrentLineStaysOnAnItem) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  GLUI_List* list = gui.add_list(true);
  list->set_current_item(2);
  EXPECT_EQ(list->get_current_item(), 0) << "no items";
  for (int i = 0; i < 3; ++i) list->add_item(i, "item");
  for (const auto& [set, current] : {std::pair{-1, 0}, {1, 1}, {2, 2}, {3, 2}, {50, 2}}) {
    list->set_current_item(set);
    EXPECT_EQ(list->get_current_item(), current) << set;
  }
}

TEST(GluiSpinner, FloatTextHasSixDigitsAndADecimal) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  const struct {
    float value;
    const char* text;
  } cases[] = {
      {1.0f, "1.0"}, {0.5f, "0.5"}, {0.025f, "0.025"}, {123456.7f, "123457.0"}, {-2.0f, "-2.0"}};
  for (const auto& c : cases) {
    float v = c.value;
    EXPECT_STREQ(Layer::TextOf(*gui.add_spinner("f", GLUI_SPINNER_FLOAT, &v)), c.text);
  }
}

}  // namespace
