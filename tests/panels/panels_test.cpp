// The four panels driven as GLUI and GLUT would drive them: a control's live
// variable is written, then its callback runs with the control's id; a menu
// entry is chosen by calling the menu's callback with the entry's value.

#include "panels/panels.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "actions/actions.h"
#include "camera/camera.h"
#include "glui/glui.h"
#include "image/pixel_store.h"
#include "image/textures.h"
#include "panels/camera_panel.h"
#include "panels/texture_menus.h"
#include "state/state.h"
#include "tests/panels/panel_setup.h"
#include "tests/support/console.h"
#include "tests/support/near.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// A committed stroke of nine nodes along a short diagonal.
void PaintStroke(float x0, float y0) {
  for (int i = 0; i < 9; ++i) AppState().canvas.AddPoint(x0 + 0.05f * i, y0 + 0.02f * i);
  AppState().canvas.CommitStroke(PainterBuildContext());
}

std::vector<float> PathWidths(const Stroke& stroke) {
  std::vector<float> widths;
  for (const StrokeNode& node : stroke.path) widths.push_back(node.width);
  return widths;
}

class PanelsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { CreatePanelsOnce(); }

  void SetUp() override {
    ResetPanelState();
    AppState().canvas.DeleteAll();
    glutSetWindow(AppState().windows.main.id);
    Quietly([] {
      PaintStroke(-0.6f, -0.2f);
      PaintStroke(-0.3f, 0.3f);
    });
  }

  void TearDown() override {
    SetTextureMenuRoot("textures/");
    AppState().canvas.DeleteAll();
  }
};

// ---- Controls as the layer holds them -------------------------------------------

using Path = std::vector<std::string>;

std::string Joined(const Path& path) {
  std::string joined;
  for (const std::string& name : path) joined += "/" + name;
  return joined;
}

// The control of `window`'s GLUI subwindows that a script names with the
// labels of `path`: enclosing panels by title, then the control's label.
GLUI_Control* Find(int window, const Path& path) {
  GLUI_Control* found = nullptr;
  GLUI_Master.ForEachControl(window, [&](GLUI_Control& control) {
    if (!found && control.Form() != GLUI_Control::ScriptForm::kNone && control.LabelPath() == path)
      found = &control;
  });
  return found;
}

int SizePanel() { return AppState().windows.sizePanel.id; }
int StrokePanel() { return AppState().windows.strokePanel.id; }
int CameraPanel() { return AppState().windows.cameraPanel.id; }

// A user's click, tick or typed value, after the idle step's sync has shown
// the variables: the layer writes the variable, then calls back.
void Change(int window, const Path& path, double value = 0) {
  GLUI_Control* control = Find(window, path);
  ASSERT_NE(control, nullptr) << Joined(path);
  GLUI_Master.sync_live_all();
  char typed[32];
  std::snprintf(typed, sizeof typed, "%.17g", value);
  const bool button = control->Form() == GLUI_Control::ScriptForm::kButton;
  EXPECT_EQ(button ? control->Activate() : control->SetValueText(typed), "") << Joined(path);
}

// ---- Size panel and the stroke panel's size buttons --------------------------------

// The sizes and factors back to their start values; the strokes stay.
void ResetSizes() {
  AppState().strokeSettings = StrokeSettings();
  AppState().collisions = Collisions();
}

// Without a selection no size control changes anything; with one, the
// buttons step their values and resize the selected stroke, no other.
TEST_F(PanelsTest, SizeButtonsMoveTheirValuesAndResizeOnlyTheSelectedStroke) {
  StrokeSettings& s = AppState().strokeSettings;
  CollisionFactors& f = AppState().collisions.factors;
  const std::vector<float> firstBefore = PathWidths(AppState().canvas.strokes[0]);
  for (int id = 0; id <= 10; ++id) {
    OnSizePanelControl(id);
    EXPECT_EQ(std::vector<float>({s.widthStart, s.heightStart, f.widthStart, f.heightEnd}),
              std::vector<float>({0.04f, 0.025f, 1.021f, 1.021f}))
        << id;
    EXPECT_EQ(PathWidths(AppState().canvas.strokes[0]), firstBefore) << id;
  }
  // Normal sizes (0.04 wide, 0.025 high) step their start by 0.01 and end
  // at 0; collision factors (1.021 each) step start and end 0.01 apart:
  // window, control, start, end, and their values after.
  const std::tuple<int (*)(), Path, float*, float*, float, float> cases[] = {
      {SizePanel, {"Normal Nodes", "Width", "+"}, &s.widthStart, &s.widthEnd, 0.05f, 0},
      {SizePanel, {"Normal Nodes", "Height", "-"}, &s.heightStart, &s.heightEnd, 0.015f, 0},
      {SizePanel, {"Collision Nodes", "Width", "+"}, &f.widthStart, &f.widthEnd, 1.031f, 1.011f},
      {SizePanel, {"Collision Nodes", "Width", "-"}, &f.widthStart, &f.widthEnd, 1.011f, 1.031f},
      {SizePanel, {"Collision Nodes", "Height", "+"}, &f.heightStart, &f.heightEnd, 1.031f, 1.011f},
      {SizePanel, {"Collision Nodes", "Height", "-"}, &f.heightStart, &f.heightEnd, 1.011f, 1.031f},
      {StrokePanel, {"Size", "+"}, &s.widthStart, &s.widthEnd, 0.05f, 0},
      {StrokePanel, {"Size", "-"}, &s.heightStart, &s.heightEnd, 0.015f, 0},
  };
  for (const auto& [window, path, start, end, startAfter, endAfter] : cases) {
    SCOPED_TRACE(Joined(path));
    ResetSizes();
    AppState().interaction.selectedStroke = 2;
    s.widthEnd = s.heightEnd = 0.01f;
    Change(window(), path);
    EXPECT_NEAR(*start, startAfter, 1e-6);
    EXPECT_NEAR(*end, endAfter, 1e-6);
    EXPECT_EQ(AppState().canvas.strokes[1].size.widthStart, s.widthStart);
    EXPECT_EQ(AppState().canvas.strokes[1].size.heightStart, s.heightStart);
    EXPECT_EQ(PathWidths(AppState().canvas.strokes[0]), firstBefore);
  }
}

// A normal size typed in resizes the stroke; a collision factor is only
// stored for the next collision check ("C" is off here): a resize would
// show the pending width set below.
TEST_F(PanelsTest, TypedSizesReachTheStrokeAndFactorsOnlyTheirVariable) {
  const std::tuple<Path, float*, bool> cases[] = {
      {{"Normal Nodes", "Width", "Start:"}, &AppState().strokeSettings.widthStart, true},
      {{"Normal Nodes", "Height", "End:"}, &AppState().strokeSettings.heightEnd, true},
      {{"Collision Nodes", "Width", "Start:"}, &AppState().collisions.factors.widthStart, false},
      {{"Collision Nodes", "Width", "End:"}, &AppState().collisions.factors.widthEnd, false},
      {{"Collision Nodes", "Height", "Start:"}, &AppState().collisions.factors.heightStart, false},
      {{"Collision Nodes", "Height", "End:"}, &AppState().collisions.factors.heightEnd, false},
  };
  for (const auto& [path, variable, resizes] : cases) {
    SCOPED_TRACE(Joined(path));
    ResetSizes();
    AppState().interaction.selectedStroke = 2;
    AppState().strokeSettings.widthStart = AppState().canvas.strokes[1].size.widthStart + 0.02f;
    const std::vector<float> before = PathWidths(AppState().canvas.strokes[1]);
    Change(SizePanel(), path, 0.07);
    EXPECT_FLOAT_EQ(*variable, 0.07f);
    EXPECT_EQ(PathWidths(AppState().canvas.strokes[1]) != before, resizes);
  }
}

// Each panel's controls fit its window and leave room for the preview; a
// panel shrunk to nothing keeps one pixel a side, as the previews divide
// by their sides (every panel stores its size the same way).
TEST_F(PanelsTest, ControlsFitTheirWindowsBesideThePreview) {
  const auto glui = [](int window, const Path& path) { return Find(window, path)->get_glui(); };
  const GLUI* curves = glui(StrokePanel(), {"Shape Curve", "LOD:"});
  const GLUI* strokeButtons = glui(StrokePanel(), {"Update"});
  const GLUI* camera = glui(CameraPanel(), {"Delete All"});
  const GLUI* size = glui(SizePanel(), {"Normal Nodes", "Width", "+"});
  const Windows& w = AppState().windows;
  EXPECT_LE(curves->ContentWidth(), w.strokePanel.width);
  EXPECT_LE(curves->ContentHeight() + strokeButtons->ContentHeight(), w.strokePanel.height);
  EXPECT_GE(w.strokePanel.width - strokeButtons->ContentWidth(), 150);
  EXPECT_LE(camera->ContentWidth(), w.cameraPanel.width);
  EXPECT_LE(camera->ContentHeight(), w.cameraPanel.height - 150);
  EXPECT_LE(size->ContentWidth(), w.sizePanel.width);
  EXPECT_LE(size->ContentHeight(), w.sizePanel.height);
  glutSetWindow(w.cameraPanel.id);
  ReshapeCameraPanel(0, 0);
  EXPECT_EQ(std::make_pair(w.cameraPanel.width, w.cameraPanel.height), std::make_pair(1, 1));
}

// ---- Stroke panel -------------------------------------------------------------

// Both ends of every range: a value just past a limit is held at it, the
// limit itself is kept.
TEST_F(PanelsTest, StrokeSpinnersHoldTypedValuesToTheirRanges) {
  const std::tuple<Path, const int*, int, int> cases[] = {
      // control, variable, range
      {{"Shape Curve", "LOD:"}, &AppState().strokeSettings.shapeLod, 1, 64},
      {{"Path Curve", "LOD:"}, &AppState().strokeSettings.pathLod, 1, 64},
      {{"Mesh Subdivision", "# Subdivisions:"}, &AppState().strokeSettings.subdivisionLevels, 0, 5},
      {{"Stroke Capping", "End node:"}, &AppState().strokeSettings.endNode, 0, 64},
  };
  for (const auto& [path, variable, low, high] : cases) {
    const std::pair<int, int> typedAndStored[] = {
        {low - 1, low}, {low, low}, {high, high}, {high + 1, high}};
    for (const auto& [typed, stored] : typedAndStored) {
      SCOPED_TRACE(Joined(path) + " " + std::to_string(typed));
      Change(StrokePanel(), path, typed);
      EXPECT_EQ(*variable, stored);
    }
  }
}

TEST_F(PanelsTest, CheckboxesWriteTheirVariablesAndParticlesExcludeMesh) {
  const std::tuple<int (*)(), Path, const int*> cases[] = {
      {StrokePanel, {"Primitives", "N"}, &AppState().display.showNodes},
      {StrokePanel, {"Misc", "C"}, &AppState().collisions.afterStroke},
      {StrokePanel, {"Misc", "R"}, &AppState().strokeSettings.randomSize},
      {CameraPanel, {"Light ON/OFF"}, &AppState().display.lightOn},
      {CameraPanel, {"Paper ON/OFF"}, &AppState().display.paperOn},
      {CameraPanel, {"Axes ON/OFF"}, &AppState().display.axesOn},
      {CameraPanel, {"Cursor ON/OFF"}, &AppState().display.cursorOn},
  };
  for (const auto& [window, path, variable] : cases) {
    SCOPED_TRACE(Joined(path));
    for (int value : {0, 1}) {
      Change(window(), path, value);
      EXPECT_EQ(*variable, value);
    }
  }
  // "P" and "M" are wired to the rebuild callback, which keeps them apart.
  AppState().strokeSettings.showMesh = 1;
  Change(StrokePanel(), {"Primitives", "P"}, 1);
  EXPECT_EQ(AppState().strokeSettings.showParticles, 1);
  EXPECT_EQ(AppState().strokeSettings.showMesh, 0);
  Change(StrokePanel(), {"Primitives", "M"}, 1);
  EXPECT_EQ(AppState().strokeSettings.showParticles, 0);
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
  for (int window : {StrokePanel(), CameraPanel(), SizePanel()}) {
    GLUI_Master.ForEachControl(window, [&](GLUI_Control& control) {
      const bool checkbox = control.Form() == GLUI_Control::ScriptForm::kCheckbox;
      if (!checkbox && control.Form() != GLUI_Control::ScriptForm::kNumbers) return;
      SCOPED_TRACE(Joined(control.LabelPath()));
      GLUI_Master.sync_live_all();
      std::istringstream numbers(control.ValueText());
      double first = 0;
      std::string rest;
      std::getline(numbers >> first, rest);
      const int before = counter.told;
      char changed[32];
      std::snprintf(changed, sizeof changed, "%.17g", checkbox ? 1 - first : first + 1);
      EXPECT_EQ(control.SetValueText(changed + rest), "");
      EXPECT_EQ(counter.told, before + 1);
      ++controls;
    });
  }
  RemoveActionObserver(&counter);
  EXPECT_EQ(controls, 22) << "the spinners, checkboxes and light ball of three panels";
}

// Draws the preview, then paints one known colour under the pointer.
void DrawPreviewWithColourAt(int x, int yFromTop, float r, float g, float b) {
  const ViewArea& view = AppState().windows.strokePanelView;
  glutSetWindow(AppState().windows.strokePanel.id);
  ReshapeStrokePanel(AppState().windows.strokePanel.width, AppState().windows.strokePanel.height);
  DisplayStrokePanel();
  glEnable(GL_SCISSOR_TEST);
  glScissor(view.x + x - 2, view.y + view.height - yFromTop - 2, 5, 5);
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
}

// Only a left press inside the spectrum band (view y 2–4) picks, and it
// reads the pixel under the pointer.
TEST_F(PanelsTest, LeftPressInTheSpectrumPicksTheColourUnderThePointer) {
  glutSetWindow(AppState().windows.strokePanel.id);
  ReshapeStrokePanel(AppState().windows.strokePanel.width, AppState().windows.strokePanel.height);
  const int h = AppState().windows.strokePanelView.height;
  ASSERT_GT(h, 40);
  const int x = AppState().windows.strokePanelView.width / 3;
  const int below = static_cast<int>(std::ceil(h - 1.9 * h / 4.0));  // view y = 1.9
  StrokeSettings& s = AppState().strokeSettings;
  DrawPreviewWithColourAt(x, below, 0.9f, 0.1f, 0.1f);
  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, below);
  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_UP, x, h / 4);
  PickStrokeColour(GLUT_MIDDLE_BUTTON, GLUT_DOWN, x, h / 4);
  EXPECT_EQ(s.startColour.x, 0.0f);
  EXPECT_EQ(s.endColour.y, 0.0f);
  EXPECT_FLOAT_EQ(AppState().colourMarker.x, 0.086f);
  EXPECT_FLOAT_EQ(AppState().colourMarker.y, 2.189f);
  if (h % 2 == 0) {  // view y = 2.0 exactly: the first row of the band picks
    DrawPreviewWithColourAt(x, h / 2, 0.9f, 0.1f, 0.1f);
    PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, h / 2);
    EXPECT_NEAR(s.startColour.x, 0.9f, 0.01f);
  }
  DrawPreviewWithColourAt(x, h / 4, 0.25f, 0.5f, 0.75f);  // view y = 3
  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, h / 4);
  for (const Vec4* colour : {&s.startColour, &s.endColour})
    EXPECT_TRUE(Near(*colour, Vec4(0.25f, 0.5f, 0.75f, 0), 0.01f));
  EXPECT_FLOAT_EQ(AppState().colourMarker.x,
                  static_cast<float>(x) / AppState().windows.strokePanelView.width);
  EXPECT_NEAR(AppState().colourMarker.y, 3.0f, 0.05f);
}

// A choice in a map folder's menu fills that folder's own slot and has the
// main window reload; a value past the listing does nothing.
TEST_F(PanelsTest, MapFolderChoicesFillTheirOwnSlot) {
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
    fs::create_directories(root.File(folder));
    std::ofstream(root.File(folder) + "/a.bmp") << "not a picture";
    const std::string before = AppState().maps.files[slot];
    AppState().interaction.syncRequested = 0;
    onChoice(-2);
    EXPECT_EQ(AppState().maps.files[slot], before);
    EXPECT_EQ(AppState().interaction.syncRequested, 0);
    Quietly([&] { onChoice(-1); });  // the loader complains about the fake file
    EXPECT_EQ(AppState().maps.files[slot], TextureMenuRoot() + folder + "/a.bmp");
    EXPECT_EQ(AppState().interaction.syncRequested, 1);
  }
}

// ---- Camera panel ----------------------------------------------------------------

// "Delete Selected" marks the selected stroke deleted and keeps the count
// and selection; "Load" and "Save" do nothing; "Update" builds the
// selected stroke again from the settings now (a new path level of detail
// gives it a path of another length), the other staying as it was;
// "Delete All" clears.
TEST_F(PanelsTest, ButtonsActOnTheSelectedStrokeOrClearAll) {
  const Canvas& canvas = AppState().canvas;
  const std::size_t firstPath = canvas.strokes[0].path.size();
  const std::size_t secondPath = canvas.strokes[1].path.size();
  AppState().strokeSettings.pathLod += 3;
  AppState().interaction.selectedStroke = 2;
  Quietly([] { Change(StrokePanel(), {"Update"}); });
  EXPECT_EQ(canvas.strokes[0].path.size(), firstPath);
  EXPECT_GT(canvas.strokes[1].path.size(), secondPath);
  for (const char* button : {"Delete Selected", "Load", "Save"}) Change(CameraPanel(), {button});
  EXPECT_EQ(std::make_tuple(canvas.strokes[0].deleted, canvas.strokes[1].deleted, canvas.count,
                            AppState().interaction.selectedStroke),
            std::make_tuple(0, 1, 2, 2));
  Change(CameraPanel(), {"Delete All"});
  EXPECT_EQ(canvas.count, 0);
  EXPECT_TRUE(canvas.strokes[0].path.empty());
}

// Counts pixels of the camera preview close to one colour.
int CountCameraPixels(unsigned char r, unsigned char g, unsigned char b) {
  const WindowPlace& panel = AppState().windows.cameraPanel;
  glutSetWindow(panel.id);
  ReshapeCameraPanel(panel.width, panel.height);
  DisplayCameraPanel();
  std::vector<unsigned char> rgb(static_cast<size_t>(panel.width) * panel.height * 3);
  const PixelStoreScope tightRows;
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, panel.width, panel.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  int count = 0;
  for (size_t i = 0; i < rgb.size(); i += 3)
    if (std::abs(rgb[i] - r) < 8 && std::abs(rgb[i + 1] - g) < 8 && std::abs(rgb[i + 2] - b) < 8)
      ++count;
  return count;
}

// The main view's matrices for a camera at z = 3 looking at the origin.
void PlaceMainCamera() {
  // The field of view and the light position of start-up.
  Quietly([] { AppState().camera.Init(AppState().light); });
  glutSetWindow(AppState().windows.main.id);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, 1, 1, 100);
  glGetDoublev(GL_PROJECTION_MATRIX, AppState().views.projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0, 0, -3);
  glGetDoublev(GL_MODELVIEW_MATRIX, AppState().views.modelView);
}

TEST_F(PanelsTest, PreviewDrawsTheCameraOnlyForAnInvertibleViewAndTheLightOnlyWhenOn) {
  PlaceMainCamera();
  AppState().display.lightOn = 1;
  EXPECT_GT(CountCameraPixels(0, 0, 255), 0);    // the blue arrow
  EXPECT_GT(CountCameraPixels(255, 255, 0), 0);  // the yellow light line
  AppState().display.lightOn = 0;
  EXPECT_EQ(CountCameraPixels(255, 255, 0), 0);

  for (double& m : AppState().views.modelView) m = 0;  // no camera can be read from this
  EXPECT_EQ(CountCameraPixels(0, 0, 255), 0);
  // The preview is drawn from the camera's pose and lens: keys 7 and 9,
  // which change the field of view alone, redraw it too.
  for (unsigned char key : {'7', '9'}) {
    const std::string drawn = CameraPanelRedrawKey();
    ASSERT_TRUE(PressCameraKey(key));
    EXPECT_NE(CameraPanelRedrawKey(), drawn) << key;
  }
}

}  // namespace
