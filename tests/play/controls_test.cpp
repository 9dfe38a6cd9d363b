// Script lines on the control layer's controls, through kelvra-play's
// control seam: a line changes its control as a person would, and the
// change is heard and written back as a line that says the same. The text
// field and the list meet scripts here first (no painter window has them
// yet); the panels' controls also replay in the demo.
#include "play/controls.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/gl_window.h"

namespace {

std::string Name;
int Level = 3;
float Amount = 0.5f;
int Flag = 0;
float Ball[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
std::vector<int> called;         // callback ids, in order
std::vector<std::string> heard;  // lines written for the changes heard
int activations = 0;

void Called(int id) { called.push_back(id); }
void Activated(GLUI_Control*) { ++activations; }
void Hear(GLUI_Control* control, GLUI_Control::Change change) {
  heard.push_back(FormatEvent(ControlEvent(*control, change)));
}

int Window = 0;
GLUI_List* List = nullptr;

void BuildControls() {
  Window = EnsureHiddenGlWindow(400, 400);
  GLUI* gui = GLUI_Master.create_glui_subwindow(Window, GLUI_SUBWINDOW_RIGHT);
  GLUI_Panel* open = gui->add_panel("Open");
  List = gui->add_list_to_panel(open, true, 1, Called);
  List->set_name("Paintings");
  List->set_object_callback(Activated);
  for (const char* item : {"Harbour at dusk", "Red wave", "Three crossings"})
    List->add_item(0, item);
  gui->add_edittext_to_panel(open, "Name:", GLUI_EDITTEXT_TEXT, &Name, 2, Called);
  GLUI_Panel* values = gui->add_panel("Values");
  gui->add_spinner_to_panel(values, "Level:", GLUI_SPINNER_INT, &Level, 3, Called)
      ->set_int_limits(0, 10);
  gui->add_spinner_to_panel(values, "Amount:", GLUI_SPINNER_FLOAT, &Amount, 4, Called);
  gui->add_checkbox_to_panel(values, "Flag", &Flag, 5, Called);
  gui->add_button_to_panel(values, "Go", 6, Called);
  gui->add_rotation("Ball", Ball, 7, Called);
}

// Reads `line` and applies it to the control it names; what went wrong.
std::string Play(const std::string& line) {
  std::string problem;
  const auto events = ParseScript(line, "s", &problem);
  if (!events || events->size() != 1) return "unreadable: " + problem;
  GLUI_Control* control = FindControl(Window, events->front().text, &problem);
  return control ? ApplyControlEvent(*control, events->front()) : problem;
}

// A line changes its control as a person would and is heard back as the
// same change; a line that does not fit its control says why and changes
// nothing.
TEST(ScriptedControls, ALineChangesItsControlAndIsHeardBackOrSaysWhyNot) {
  BuildControls();
  GLUI_Master.change_listener = Hear;
  const char* const same = "";
  // A line, and the line heard: `same`, the line itself; nullptr, nothing.
  const std::pair<const char*, const char*> cases[] = {
      {R"(set "Open/Name:" "Harbour \"at\" dusk")", same},
      {R"(set "Open/Name:" "Harbour \"at\" dusk")", nullptr},
      {R"(set "Paintings" "Red wave")", R"(set "Open/Paintings" "Red wave")"},
      {R"(activate "Open/Paintings")", same},
      {R"(set "Values/Level:" 12)", R"(set "Values/Level:" 10)"},
      {R"(set "Amount:" 0.1)", R"(set "Values/Amount:" 0.10000000149011612)"},
      {R"(toggle "Flag")", R"(set "Values/Flag" 1)"},
      {R"(click "Go")", R"(click "Values/Go")"},
      {R"(set "Ball" 0 1 0 0 -1 0 0 0 0 0 1 0 0 0 0 1)", same},
  };
  for (const auto& [line, said] : cases) {
    heard.clear();
    EXPECT_EQ(Play(line), "") << line;
    EXPECT_EQ(heard, std::vector<std::string>(said != nullptr, said && *said ? said : line))
        << line;
  }
  EXPECT_EQ(
      std::make_tuple(Name, List->get_current_item(), activations, Level, Amount, Flag, Ball[1]),
      std::make_tuple("Harbour \"at\" dusk", 1, 1, 10, 0.1f, 1, 1.0f));
  EXPECT_EQ(called, (std::vector<int>{2, 1, 3, 4, 5, 6, 7})) << "activation runs no callback";

  const std::pair<const char*, const char*> refused[] = {
      {R"(set "Paintings" "Sunrise")", "no item \"Sunrise\" in the list"},
      {R"(click "Paintings")", "a list is set to an item or activated"},
      {R"(activate "Go")", "only a list or a text field is activated"},
      {R"(set "Go" 1)", "a button is clicked, not set or toggled"},
      {R"(toggle "Level:")", "only a checkbox is toggled"},
      {R"(set "Level:" "many")", "a spinner is set to one value"},
      {R"(set "Ball" 1)",
       "a rotation is set to 16 matrix numbers (and 4 more to keep it spinning)"},
      {R"(set "Nowhere" 1)", "no control \"Nowhere\""},
  };
  heard.clear();
  for (const auto& [line, problem] : refused) EXPECT_EQ(Play(line), problem) << line;
  EXPECT_TRUE(heard.empty());
  GLUI_Master.change_listener = nullptr;
}

}  // namespace
