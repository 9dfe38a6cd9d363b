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

Layer::Box BoxOf(const GLUI_Control* control) { return Layer::BoxOf(*control); }
const GLUI_Panel& Root(const GLUI& gui) { return Layer::Root(gui); }

int callbacks_seen = 0;
void CountCallback(int) { ++callbacks_seen; }

// Buttons are at least a hundred wide and stack in a column as wide as the
// widest, where a narrower one sits left, right or centred; a column
// starts past the widest control of the one before, with an etched bar
// between them if asked for, all columns top-aligned.
TEST(GluiLayout, ButtonsStackInColumnsStartingPastTheWidest) {
  GLUI gui(0, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Button* small = gui.add_button("+");
  const Layer::Box wide = BoxOf(gui.add_button("A rather long button label"));
  EXPECT_EQ((std::vector{BoxOf(small).w, BoxOf(small).h, wide.w, wide.y}),
            (std::vector{100, 20, 26 * kCharWidth + kButtonTextExtra, kMargin + 20 + kItemGap}));
  for (const auto& [alignment, x] : {std::pair{GLUI_ALIGN_RIGHT, kMargin + wide.w - 100},
                                     {GLUI_ALIGN_CENTER, kMargin + (wide.w - 100) / 2},
                                     {GLUI_ALIGN_LEFT, kMargin}}) {
    small->set_alignment(alignment);
    EXPECT_EQ(BoxOf(small).x, x) << alignment;
  }
  gui.add_column(true);
  GLUI_Button* second = gui.add_button("second");
  gui.add_column(false);
  GLUI_Checkbox* third = gui.add_checkbox("third");
  const int secondX = kMargin + wide.w + kColumnGap + kBarWidth + kColumnGap;
  EXPECT_EQ(std::make_pair(BoxOf(second).x, BoxOf(second).y), std::make_pair(secondX, kMargin));
  EXPECT_EQ(Layer::Bars(Root(gui)), (std::vector<int>{kMargin + wide.w + kColumnGap, -1}));
  EXPECT_EQ(BoxOf(third).x, secondX + 100 + kColumnGap);
  EXPECT_EQ(Layer::BoxOf(Root(gui)).w, BoxOf(third).x + BoxOf(third).w + kMargin);
}

// Code changes shown by sync never count as user changes; a spinner's
// limits pin the value at once, an out-of-range one to the low end when
// they are set. A float spinner's text has six digits and a decimal. A
// line set in code is held to the items there are.
TEST(GluiSync, SpinnersClampCheckboxesFollowListsKeepTheirLineNoCallbacks) {
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
  for (const auto& [value, text] : {std::pair{1.0f, "1.0"},
                                    {0.5f, "0.5"},
                                    {0.025f, "0.025"},
                                    {123456.7f, "123457.0"},
                                    {-2.0f, "-2.0"}}) {
    float v = value;
    EXPECT_STREQ(Layer::TextOf(*gui.add_spinner("f", GLUI_SPINNER_FLOAT, &v)), text);
  }

  GLUI_List* list = gui.add_list(true);
  list->set_current_item(2);
  EXPECT_EQ(list->get_current_item(), 0) << "no items";
  for (int i = 0; i < 3; ++i) list->add_item(i, "item");
  for (const auto& [set, current] : {std::pair{-1, 0}, {1, 1}, {2, 2}, {3, 2}, {50, 2}}) {
    list->set_current_item(set);
    EXPECT_EQ(list->get_current_item(), current) << set;
  }
}

}  // namespace
