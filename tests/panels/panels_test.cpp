// The four panels driven as GLUI and GLUT would drive them: a control's live
// variable is written, then its callback runs with the control's id; a menu
// entry is chosen by calling the menu's callback with the entry's value.
// freeglut cannot list a menu's labels back, so this test program defines
// the GLUT menu calls the panels make itself: each one is recorded and then
// passed on to freeglut (found with dlsym(RTLD_NEXT)), so the panels run
// exactly as in the program.

#include "panels/panels.h"

#include <GL/freeglut.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "actions/actions.h"
#include "actions/readback.h"
#include "camera/camera.h"
#include "glui/glui.h"
#include "image/filters.h"
#include "image/textures.h"
#include "panels/camera_panel.h"
#include "panels/texture_menus.h"
#include "platform/files.h"
#include "state/state.h"
#include "tests/support/console.h"
#include "tests/support/gl_window.h"
#include "tests/support/near.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"

namespace {

struct MenuItem {
  std::string label;
  int value = 0;    // an entry's value
  int submenu = 0;  // for a submenu, its menu id
};
struct RecordedMenu {
  void (*callback)(int) = nullptr;
  std::vector<MenuItem> items;
};
std::map<int, RecordedMenu> Menus;
std::map<std::pair<int, int>, int> AttachedMenus;  // (window, button) → menu
std::vector<int> HiddenWindows;

template <typename Fn>
Fn Freeglut(Fn, const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

int glutCreateMenu(void (*callback)(int)) {
  static const auto real = Freeglut(&glutCreateMenu, "glutCreateMenu");
  const int menu = real(callback);
  Menus[menu].callback = callback;
  return menu;
}

void glutAddMenuEntry(const char* label, int value) {
  static const auto real = Freeglut(&glutAddMenuEntry, "glutAddMenuEntry");
  real(label, value);
  Menus[glutGetMenu()].items.push_back({label, value, 0});
}

void glutAddSubMenu(const char* label, int submenu) {
  static const auto real = Freeglut(&glutAddSubMenu, "glutAddSubMenu");
  real(label, submenu);
  Menus[glutGetMenu()].items.push_back({label, 0, submenu});
}

void glutAttachMenu(int button) {
  static const auto real = Freeglut(&glutAttachMenu, "glutAttachMenu");
  real(button);
  AttachedMenus[{glutGetWindow(), button}] = glutGetMenu();
}

void glutHideWindow() {
  static const auto real = Freeglut(&glutHideWindow, "glutHideWindow");
  real();
  HiddenWindows.push_back(glutGetWindow());
}

namespace {

std::vector<float> PathWidths(int stroke) {
  std::vector<float> widths;
  for (const StrokeNode& node : AppState().canvas.strokes[stroke].path)
    widths.push_back(node.width);
  return widths;
}

// The four panels, made once as the program makes them, over a scratch
// texture root whose browsable folders hold one BMP name each (and a file
// the menus skip); the menu root is "textures/" again afterwards. Each test
// starts from every application variable at its start value but the
// windows, and two strokes.
class PanelsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ScratchDir root;
    for (const char* folder :
         {"meshmap", "detailmap", "partmap", "heightmap", "papermap", "sourcemap"}) {
      std::filesystem::create_directories(root.File(folder));
      std::ofstream(root.File(folder) + "/" + folder + ".bmp") << "not read";
      std::ofstream(root.File(folder) + "/notes.txt") << "not listed";
    }
    SetTextureMenuRoot(root.Path());
    AppState().windows.main.id =
        EnsureHiddenGlWindow(AppState().windows.main.width, AppState().windows.main.height);
    Quietly([] {
      LoadAllMaps(AppState().maps);
      CreateFilterPanel();
      CreateStrokePanel();
      CreateCameraPanel();
      CreateSizePanel();
    });
    SetTextureMenuRoot("textures/");
    created = AppState().windows;
  }
  void SetUp() override {
    ResetApplicationStateForTesting();
    AppState().windows = created;
    AppState().canvas.DeleteAll();
    glutSetWindow(AppState().windows.main.id);
    Quietly([] {  // two committed strokes of nine nodes along short diagonals
      for (const auto& [x0, y0] : {std::pair{-0.6f, -0.2f}, {-0.3f, 0.3f}}) {
        for (int i = 0; i < 9; ++i) AppState().canvas.AddPoint(x0 + 0.05f * i, y0 + 0.02f * i);
        AppState().canvas.CommitStroke(PainterBuildContext());
      }
    });
  }
  void TearDown() override {
    SetTextureMenuRoot("textures/");
    AppState().canvas.DeleteAll();
  }
  static inline Windows created;
};

// A user's click, tick or typed value on the control of `window` that a
// script names with `path` (enclosing panels by title, then its label,
// joined by "/"), after the idle step's sync has shown the variables: the
// layer writes the variable, then calls back.
void Change(int window, const std::string& path, double value = 0) {
  GLUI_Control* control = nullptr;
  GLUI_Master.ForEachControl(window, [&](GLUI_Control& c) {
    std::string joined;
    for (const std::string& label : c.LabelPath()) joined += (joined.empty() ? "" : "/") + label;
    if (!control && c.Form() != GLUI_Control::ScriptForm::kNone && joined == path) control = &c;
  });
  ASSERT_NE(control, nullptr) << path;
  GLUI_Master.sync_live_all();
  char typed[32];
  std::snprintf(typed, sizeof typed, "%.17g", value);
  const bool button = control->Form() == GLUI_Control::ScriptForm::kButton;
  EXPECT_EQ(button ? control->Activate() : control->SetValueText(typed), "") << path;
}

// With a stroke selected, the size buttons step their values and resize
// the selected stroke, no other: normal sizes step their start by 0.01 and
// end at 0, collision factors (1.021 each) step start and end 0.01 apart.
// A normal size typed in resizes the stroke; a collision factor is only
// stored for the next collision check ("C" is off here). A resize shows
// in the path's widths through the pending end width set below.
TEST_F(PanelsTest, SizeControlsMoveTheirValuesAndResizeOnlyTheSelectedStroke) {
  StrokeSettings& s = AppState().strokeSettings;
  CollisionFactors& f = AppState().collisions.factors;
  const std::vector<float> firstBefore = PathWidths(0);
  // Window, control (a spinner is typed 0.07 into), two values it moves
  // and theirs after, whether it resizes.
  const int size = AppState().windows.sizePanel.id, stroke = AppState().windows.strokePanel.id;
  const std::tuple<int, std::string, float*, float, float*, float, bool> cases[] = {
      {size, "Normal Nodes/Width/+", &s.widthStart, 0.05f, &s.widthEnd, 0, true},
      {size, "Normal Nodes/Height/-", &s.heightStart, 0.015f, &s.heightEnd, 0, true},
      {size, "Collision Nodes/Width/+", &f.widthStart, 1.031f, &f.widthEnd, 1.011f, true},
      {size, "Collision Nodes/Width/-", &f.widthStart, 1.011f, &f.widthEnd, 1.031f, true},
      {size, "Collision Nodes/Height/+", &f.heightStart, 1.031f, &f.heightEnd, 1.011f, true},
      {size, "Collision Nodes/Height/-", &f.heightStart, 1.011f, &f.heightEnd, 1.031f, true},
      {stroke, "Size/+", &s.widthStart, 0.05f, &s.widthEnd, 0, true},
      {stroke, "Size/-", &s.heightStart, 0.015f, &s.heightEnd, 0, true},
      {size, "Normal Nodes/Width/Start:", &s.widthStart, 0.07f, &s.heightStart, 0.025f, true},
      {size, "Normal Nodes/Height/End:", &s.heightEnd, 0.07f, &s.heightStart, 0.025f, true},
      {size, "Collision Nodes/Width/Start:", &f.widthStart, 0.07f, &f.widthEnd, 1.021f, false},
      {size, "Collision Nodes/Width/End:", &f.widthEnd, 0.07f, &f.widthStart, 1.021f, false},
      {size, "Collision Nodes/Height/Start:", &f.heightStart, 0.07f, &f.heightEnd, 1.021f, false},
      {size, "Collision Nodes/Height/End:", &f.heightEnd, 0.07f, &f.heightStart, 1.021f, false},
  };
  for (const auto& [window, path, a, aAfter, b, bAfter, resizes] : cases) {
    SCOPED_TRACE(path);
    AppState().strokeSettings = StrokeSettings();
    AppState().collisions = Collisions();
    AppState().interaction.selectedStroke = 2;
    s.widthEnd = AppState().canvas.strokes[1].size.widthEnd + 0.01f;  // pending for a resize
    s.heightEnd = 0.01f;
    const std::vector<float> before = PathWidths(1);
    Change(window, path, 0.07);
    EXPECT_NEAR(*a, aAfter, 1e-6);
    EXPECT_NEAR(*b, bAfter, 1e-6);
    EXPECT_EQ(PathWidths(1) != before, resizes);
    const StrokeSize& second = AppState().canvas.strokes[1].size;
    EXPECT_TRUE(!resizes ||
                (second.widthStart == s.widthStart && second.heightStart == s.heightStart))
        << "the stroke takes the sizes";
    EXPECT_EQ(PathWidths(0), firstBefore);
  }
}

// Every control a person changes a painting's setting with is an action,
// which the painting keeper, and so the autosave and Esc, hear: none writes
// its variable unheard.
TEST_F(PanelsTest, EverySettingControlIsAnAction) {
  struct Counter : ActionObserver {
    int told = 0;
    void ActionFinished(const ActionReport& report) override {
      told += TraitsOf(report.kind).changesPainting ? 1 : 0;
    }
  } counter;
  AddActionObserver(&counter);
  int controls = 0;
  for (const WindowPlace* panel : {&AppState().windows.strokePanel, &AppState().windows.cameraPanel,
                                   &AppState().windows.sizePanel}) {
    GLUI_Master.ForEachControl(panel->id, [&](GLUI_Control& control) {
      const bool checkbox = control.Form() == GLUI_Control::ScriptForm::kCheckbox;
      if (!checkbox && control.Form() != GLUI_Control::ScriptForm::kNumbers) return;
      SCOPED_TRACE(testing::PrintToString(control.LabelPath()));
      GLUI_Master.sync_live_all();
      const std::string value = control.ValueText();
      char* rest = nullptr;
      const double first = std::strtod(value.c_str(), &rest);
      const int before = counter.told;
      char changed[32];
      std::snprintf(changed, sizeof changed, "%.17g", checkbox ? 1 - first : first + 1);
      EXPECT_EQ(control.SetValueText(changed + std::string(rest)), "");
      EXPECT_EQ(counter.told, before + 1);
      ++controls;
    });
  }
  RemoveActionObserver(&counter);
  EXPECT_EQ(controls, 22) << "the spinners, checkboxes and light ball of three panels";
}

// Both ends of every range: a value just past a limit is held at it, the
// limit itself is kept.
TEST_F(PanelsTest, StrokeSpinnersHoldTypedValuesToTheirRanges) {
  const StrokeSettings& settings = AppState().strokeSettings;
  const std::tuple<const char*, const int*, int, int> cases[] = {
      // control, variable, range
      {"Shape Curve/LOD:", &settings.shapeLod, 1, 64},
      {"Path Curve/LOD:", &settings.pathLod, 1, 64},
      {"Mesh Subdivision/# Subdivisions:", &settings.subdivisionLevels, 0, 5},
      {"Stroke Capping/End node:", &settings.endNode, 0, 64},
  };
  for (const auto& [path, variable, low, high] : cases) {
    for (const auto& [typed, stored] : {std::pair{low - 1, low}, {low, low}, {high, high},
                                        {high + 1, high}}) {
      SCOPED_TRACE(std::string(path) + " " + std::to_string(typed));
      Change(AppState().windows.strokePanel.id, path, typed);
      EXPECT_EQ(*variable, stored);
    }
  }
}

// Each checkbox writes its own variable, both ways.
TEST_F(PanelsTest, CheckboxesWriteTheirOwnVariables) {
  ApplicationState& state = AppState();
  const std::tuple<int, const char*, const int*> cases[] = {
      {state.windows.strokePanel.id, "Primitives/N", &state.display.showNodes},
      {state.windows.strokePanel.id, "Misc/C", &state.collisions.afterStroke},
      {state.windows.strokePanel.id, "Misc/R", &state.strokeSettings.randomSize},
      {state.windows.cameraPanel.id, "Light ON/OFF", &state.display.lightOn},
      {state.windows.cameraPanel.id, "Paper ON/OFF", &state.display.paperOn},
      {state.windows.cameraPanel.id, "Axes ON/OFF", &state.display.axesOn},
      {state.windows.cameraPanel.id, "Cursor ON/OFF", &state.display.cursorOn},
  };
  for (const auto& [window, path, variable] : cases)
    for (int value : {0, 1, 0}) {
      SCOPED_TRACE(std::string(path) + " " + std::to_string(value));
      Change(window, path, value);
      EXPECT_EQ(*variable, value);
    }
}

// Only a left press inside the spectrum band (view y 2–4) picks, and it
// reads the pixel under the pointer.
TEST_F(PanelsTest, LeftPressInTheSpectrumPicksTheColourUnderThePointer) {
  const ViewArea& view = AppState().windows.strokePanelView;
  // Draws the preview, then one known colour under the pointer, and presses there.
  const auto PressOnColour = [&](int x, int yFromTop, float r, float g, float b) {
    glutSetWindow(AppState().windows.strokePanel.id);
    ReshapeStrokePanel(AppState().windows.strokePanel.width, AppState().windows.strokePanel.height);
    DisplayStrokePanel();
    glEnable(GL_SCISSOR_TEST);
    glScissor(view.x + x - 2, view.y + view.height - yFromTop - 2, 5, 5);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, yFromTop);
  };
  glutSetWindow(AppState().windows.strokePanel.id);
  ReshapeStrokePanel(AppState().windows.strokePanel.width, AppState().windows.strokePanel.height);
  const int h = view.height, x = view.width / 3;
  ASSERT_GT(h, 40);
  StrokeSettings& s = AppState().strokeSettings;
  PressOnColour(x, static_cast<int>(std::ceil(h - 1.9 * h / 4.0)), 0.9f, 0.1f, 0.1f);  // view y 1.9
  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_UP, x, h / 4);
  PickStrokeColour(GLUT_MIDDLE_BUTTON, GLUT_DOWN, x, h / 4);
  EXPECT_EQ(std::make_pair(s.startColour.x, s.endColour.y), std::make_pair(0.0f, 0.0f));
  EXPECT_FLOAT_EQ(AppState().colourMarker.x, 0.086f);
  EXPECT_FLOAT_EQ(AppState().colourMarker.y, 2.189f);
  if (h % 2 == 0) {  // view y = 2.0 exactly: the first row of the band picks
    PressOnColour(x, h / 2, 0.9f, 0.1f, 0.1f);
    EXPECT_NEAR(s.startColour.x, 0.9f, 0.01f);
  }
  PressOnColour(x, h / 4, 0.25f, 0.5f, 0.75f);  // view y = 3
  for (const Vec4* colour : {&s.startColour, &s.endColour})
    EXPECT_TRUE(Near(*colour, Vec4(0.25f, 0.5f, 0.75f, 0), 0.01f));
  EXPECT_FLOAT_EQ(AppState().colourMarker.x, static_cast<float>(x) / view.width);
  EXPECT_NEAR(AppState().colourMarker.y, 3.0f, 0.05f);
}

// A map folder's menu lists the names that hold ".bmp" or ".BMP",
// subfolders too, in the order the file system gives them, its values
// counting down from -1. A choice fills that folder's own slot and has the
// main window reload; a value past the listing does nothing. Values count
// the folder afresh: removing the first file shifts what -1 picks. A
// missing folder has no entries, and its menu prints the line it is given.
TEST_F(PanelsTest, MapFolderMenusListTheirPicturesAndChoicesFillTheirOwnSlot) {
  ScratchDir root;
  SetTextureMenuRoot(root.Path());
  const std::tuple<void (*)(int), std::string, MapSlot> cases[] = {
      {OnPaperMapChoice, "papermap", MAP_PAPER},
      {OnMeshMapChoice, "meshmap", MAP_MESH},
      {OnDetailMapChoice, "detailmap", MAP_DETAIL},
      {OnParticleMapChoice, "partmap", MAP_PARTICLE_BRUSH},
      {OnHeightMapChoice, "heightmap", MAP_HEIGHT}};
  for (const auto& [onChoice, folder, slot] : cases) {
    SCOPED_TRACE(folder);
    const std::string path = TextureMenuRoot() + folder + "/";
    std::filesystem::create_directories(path + "old.bmp.d");
    for (const char* name : {"a.bmp", "b.BMP", "c.txt", "x.bmp.old", "Paper.Bmp"})
      std::ofstream(path + name) << "not a picture";
    std::vector<std::string> listed;
    for (const std::string& name : ListDirectory(path).names)
      if (name == "a.bmp" || name == "b.BMP" || name == "x.bmp.old" || name == "old.bmp.d")
        listed.push_back(name);
    const auto entries = FolderMenuEntries(path);
    ASSERT_TRUE(entries && entries->size() == 4u && listed.size() == 4u);
    int chosen = 0;  // a.bmp's value
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(std::make_pair((*entries)[i].label, (*entries)[i].value),
                std::make_pair(listed[i], -i - 1));
      chosen = listed[i] == "a.bmp" ? -i - 1 : chosen;
    }
    const std::string before = AppState().maps.files[slot];
    AppState().interaction.syncRequested = 0;
    onChoice(-5);
    EXPECT_EQ(std::make_pair(AppState().maps.files[slot], AppState().interaction.syncRequested),
              std::make_pair(before, 0));
    Quietly([&] { onChoice(chosen); });  // the loader complains about the fake file
    EXPECT_EQ(std::make_pair(AppState().maps.files[slot], AppState().interaction.syncRequested),
              std::make_pair(path + "a.bmp", 1));
    std::filesystem::remove_all(path + listed[0]);
    EXPECT_EQ(FolderFileForMenuValue(path, -1), path + listed[1]);
  }
  const std::string missing = root.File("nowhere/");
  EXPECT_FALSE(FolderMenuEntries(missing) || FolderFileForMenuValue(missing, -1));
  int menu = -1;
  EXPECT_EQ(Printed([&] {
              menu = CreateFolderMenu(missing, nullptr, "Papermap Directory not Found...");
            }),
            "Papermap Directory not Found...\n");
  EXPECT_EQ(menu, 0);
}

// "Update" builds the selected stroke again from the settings now (a new
// path level of detail gives it a path of another length), the other
// staying as it was; "Delete Selected" marks the selected stroke deleted
// and keeps the count and selection; "Load" and "Save" do nothing;
// "Delete All" clears. "P" and "M" are wired to the rebuild callback,
// which keeps them apart.
TEST_F(PanelsTest, ButtonsActOnTheSelectedStrokeOrClearAllParticlesExcludeMesh) {
  const Canvas& canvas = AppState().canvas;
  const std::size_t firstPath = canvas.strokes[0].path.size();
  const std::size_t secondPath = canvas.strokes[1].path.size();
  AppState().strokeSettings.pathLod += 3;
  AppState().interaction.selectedStroke = 2;
  Quietly([] { Change(AppState().windows.strokePanel.id, "Update"); });
  EXPECT_EQ(canvas.strokes[0].path.size(), firstPath);
  EXPECT_GT(canvas.strokes[1].path.size(), secondPath);
  for (const char* button : {"Delete Selected", "Load", "Save"})
    Change(AppState().windows.cameraPanel.id, button);
  EXPECT_EQ(std::make_tuple(canvas.strokes[0].deleted, canvas.strokes[1].deleted, canvas.count,
                            AppState().interaction.selectedStroke),
            std::make_tuple(0, 1, 2, 2));
  Change(AppState().windows.cameraPanel.id, "Delete All");
  EXPECT_EQ(canvas.count, 0);
  EXPECT_TRUE(canvas.strokes[0].path.empty());
  StrokeSettings& s = AppState().strokeSettings;
  s.showMesh = 1;
  Change(AppState().windows.strokePanel.id, "Primitives/P", 1);
  EXPECT_EQ(std::make_pair(s.showParticles, s.showMesh), std::make_pair(1, 0));
  Change(AppState().windows.strokePanel.id, "Primitives/M", 1);
  EXPECT_EQ(s.showParticles, 0);
}

// The camera preview shows the camera (a blue arrow) only for a main view
// a camera can be read from, and the light (a yellow line) only when on. It
// is drawn from the camera's pose and lens: keys 7 and 9, which change the
// field of view alone, redraw it too. A panel shrunk to nothing keeps one
// pixel a side, as the previews divide by their sides.
TEST_F(PanelsTest, PreviewDrawsTheCameraOnlyForAnInvertibleViewAndTheLightOnlyWhenOn) {
  const WindowPlace& panel = AppState().windows.cameraPanel;
  // The preview's pixels within a step of one colour.
  const auto Count = [&](float r, float g, float b) {
    glutSetWindow(panel.id);
    ReshapeCameraPanel(panel.width, panel.height);
    DisplayCameraPanel();
    std::vector<float> rgb;
    ReadFrame(panel.width, panel.height, rgb);
    int count = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
      count +=
          std::fabs(rgb[i] - r) + std::fabs(rgb[i + 1] - g) + std::fabs(rgb[i + 2] - b) < 0.08f;
    return count;
  };
  // The start-up camera, and the main view's matrices for it at z = 3
  // looking at the origin: gluPerspective(60, 1, 1, 100), f = 1 / tan 30°.
  Quietly([] { AppState().camera.Init(AppState().light); });
  const double f = std::sqrt(3.0), projection[16] = {f, 0, 0,           0,  0, f, 0,           0,
                                                     0, 0, -101.0 / 99, -1, 0, 0, -200.0 / 99, 0};
  const double modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1};
  std::copy(projection, projection + 16, AppState().views.projection);
  std::copy(modelView, modelView + 16, AppState().views.modelView);
  AppState().display.lightOn = 1;
  EXPECT_GT(Count(0, 0, 1), 0);
  EXPECT_GT(Count(1, 1, 0), 0);
  AppState().display.lightOn = 0;
  EXPECT_EQ(Count(1, 1, 0), 0);
  for (double& m : AppState().views.modelView) m = 0;
  EXPECT_EQ(Count(0, 0, 1), 0);
  for (unsigned char key : {'7', '9'}) {
    const std::string drawn = CameraPanelRedrawKey();
    ASSERT_TRUE(PressCameraKey(key));
    EXPECT_NE(CameraPanelRedrawKey(), drawn) << key;
  }
  glutSetWindow(panel.id);
  ReshapeCameraPanel(0, 0);
  EXPECT_EQ(std::make_pair(panel.width, panel.height), std::make_pair(1, 1));
}

// ---- Right-button menus --------------------------------------------------------

// One entry of a menu tree: the submenu labels above it and its own,
// "label = value", and the menu that holds it.
struct Line {
  std::string text;
  int menu;
  int value;
};

// A menu tree depth first, in menu order.
void Flatten(int menu, const std::string& prefix, std::vector<Line>& lines) {
  for (const MenuItem& item : Menus[menu].items) {
    if (item.submenu != 0)
      Flatten(item.submenu, prefix + item.label + " > ", lines);
    else
      lines.push_back({prefix + item.label + " = " + std::to_string(item.value), menu, item.value});
  }
}
std::vector<Line> MenuTree(int window) {
  std::vector<Line> lines;
  const auto attached = AttachedMenus.find({window, GLUT_RIGHT_BUTTON});
  if (attached != AttachedMenus.end()) Flatten(attached->second, "", lines);
  return lines;
}

// Chooses an entry as GLUT does: the callback of the menu holding it, with
// the entry's value, the menu's window current.
void Choose(int window, const Line& line) {
  ASSERT_NE(Menus[line.menu].callback, nullptr) << line.text;
  glutSetWindow(window);
  Menus[line.menu].callback(line.value);
}

// The Filter panel's tree: the source pictures, "NONE", then the 38 kernels
// in order of their numbers, each group of them under its title. The
// Stroke panel's menus that pick a file list each folder under its title.
// Every panel's own entries are the last three of its menu: the spacers do
// nothing, "Hide" hides that panel's window and no other.
TEST_F(PanelsTest, MenusListTheirEntriesAndHideHidesItsOwnPanel) {
  const std::string conv = "Filters > CONVOLUTION/CORRELATION > ";
  const std::string edge = "Filters > EDGE ENHANCEMENT AND DETECTION FILTERS > ";
  const std::tuple<std::string, int, int> groups[] = {
      {conv + "LOW PASS FILTERS", 0, 4},
      {conv + "HIGH PASS FILTERS", 5, 8},
      {edge + "SHIFT AND DIFFERENCE EDGE ENHANCEMENT", 9, 11},
      {edge + "LAPLACIAN FILTERS", 12, 17},
      {edge + "GRADIENT DIRECTIONAL FILTERS", 18, 25},
      {edge + "EMBOSSING EFFECTS", 26, 33},
      {edge + "SOBEL EDGE DETECTION AND CONTOUR FILTERS", 34, 37}};
  const Windows& w = AppState().windows;
  std::vector<std::string> expected = {"Source Image > sourcemap.bmp = -1", "Filters > NONE = 2"};
  for (const auto& [title, first, last] : groups)
    for (int n = first; n <= last; ++n)
      expected.push_back(title + " > " + FilterName(n) + " = " + std::to_string(n));
  const std::vector<std::string> own = {" = 0", "Hide = 1", " = 0"};
  expected.insert(expected.end(), own.begin(), own.end());
  const std::pair<int, std::vector<std::string>> cases[] = {
      {w.filterPanel.id, expected},
      {w.strokePanel.id,
       {" = 0", "Paper Maps > papermap.bmp = -1", " = 0", "Particle Maps > partmap.bmp = -1",
        "Height Maps > heightmap.bmp = -1", " = 0", "Mesh Maps > meshmap.bmp = -1",
        "Detail Maps > detailmap.bmp = -1", " = 0", "Hide = 1", " = 0"}},
      {w.cameraPanel.id, own},
      {w.sizePanel.id, own}};
  for (const auto& [window, lines] : cases) {
    SCOPED_TRACE(window);
    const std::vector<Line> tree = MenuTree(window);
    std::vector<std::string> texts;
    for (const Line& line : tree) texts.push_back(line.text);
    EXPECT_EQ(texts, lines);
    ASSERT_GE(tree.size(), 3u);
    HiddenWindows.clear();
    Choose(window, tree.end()[-3]);
    Choose(window, tree.end()[-1]);
    EXPECT_TRUE(HiddenWindows.empty());
    Choose(window, tree.end()[-2]);
    EXPECT_EQ(HiddenWindows, std::vector<int>{window});
  }
}

// A kernel's entry applies that kernel to the source; "NONE" shows the
// source as it is; a source picture's entry loads that picture and shows
// it through the vertical Sobel kernel.
TEST_F(PanelsTest, FilterEntriesShowTheSourceThroughTheirKernel) {
  ScratchDir root;
  std::filesystem::create_directories(root.File("sourcemap"));
  const std::string file = root.File("sourcemap/only.bmp");
  BmpImage& source = AppState().pictures.source;
  std::mt19937 random(11);
  for (bool saved : {true, false}) {  // the file's picture, then another in memory
    ASSERT_TRUE(source.Allocate(16, 12, 24));
    for (int i = 0; i < 16 * 12 * 3; ++i) source.Data()[i] = static_cast<std::uint8_t>(random());
    ASSERT_TRUE(!saved || source.Save(file));
  }
  BmpImage picture;
  ASSERT_TRUE(picture.Load(file));
  SetTextureMenuRoot(root.Path());
  const std::vector<Line> tree = MenuTree(AppState().windows.filterPanel.id);
  const std::pair<const char*, int> cases[] = {
      // an entry and its kernel (-1: none)
      {"Filters > CONVOLUTION/CORRELATION > LOW PASS FILTERS > GAUSSIAN = 4", 4},
      {"Filters > EDGE ENHANCEMENT AND DETECTION FILTERS > EMBOSSING EFFECTS > NORTH2 = 32", 32},
      {"Filters > NONE = 2", -1},
      {"Source Image > sourcemap.bmp = -1", kFilterVerticalSobel},
  };
  for (const auto& [entry, kernel] : cases) {
    SCOPED_TRACE(entry);
    const Line* line = nullptr;
    for (const Line& l : tree) line = l.text == entry ? &l : line;
    ASSERT_NE(line, nullptr);
    AppState().interaction.syncRequested = 0;
    Choose(AppState().windows.filterPanel.id, *line);
    BmpImage expected;
    if (kernel >= 0)
      ASSERT_TRUE(ApplyFilter(source, expected, kernel));
    else
      expected.CopyFrom(source);
    EXPECT_TRUE(SamePixels(AppState().pictures.filtered, expected));
    EXPECT_EQ(AppState().interaction.syncRequested, 1);
  }
  EXPECT_EQ(AppState().maps.files[MAP_SOURCE], file);
  EXPECT_TRUE(SamePixels(source, picture));
}

}  // namespace
