// The four panels driven as GLUI and GLUT would drive them: a control's live
// variable is written, then its callback runs with the control's id; a menu
// entry is chosen by calling the menu's callback with the entry's value.

#include "panels/panels.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/state.h"
#include "camera/camera.h"
#include "glui/glui.h"
#include "image/filters.h"
#include "image/textures.h"
#include "panels/texture_menus.h"
#include "stroke/canvas.h"
#include "tests/support/gl_window.h"

namespace {

namespace fs = std::filesystem;

void NoIdle() {}

// Window ids survive the per-test reset of the application state: the
// windows are created once for the whole suite.
struct WindowIds {
  int main, camera, stroke, filter, size;
  static WindowIds Save() {
    return {MainWindow, CameraPanelWindow, StrokePanelWindow, FilterPanelWindow, SizePanelWindow};
  }
  void Restore() const {
    MainWindow = main;
    CameraPanelWindow = camera;
    StrokePanelWindow = stroke;
    FilterPanelWindow = filter;
    SizePanelWindow = size;
  }
};
WindowIds Windows;

// A committed stroke of nine nodes along a short diagonal.
void PaintStroke(float x0, float y0) {
  for (int i = 0; i < 9; ++i) TheCanvas.AddPoint(x0 + 0.05f * i, y0 + 0.02f * i);
  TheCanvas.CommitStroke();
}

std::vector<float> PathWidths(const Stroke& stroke) {
  std::vector<float> widths;
  for (const StrokeNode& node : stroke.path) widths.push_back(node.width);
  return widths;
}

class PanelsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    MainWindow = EnsureHiddenGlWindow(MainWindowWidth, MainWindowHeight);
    LoadAllMaps();
    CreateFilterPanel();
    CreateStrokePanel();
    CreateCameraPanel();
    CreateSizePanel(NoIdle);
    Windows = WindowIds::Save();
  }

  void SetUp() override {
    ResetApplicationStateForTesting();
    Windows.Restore();
    ResetMapFilesForTesting();
    TheCanvas.DeleteAll();
    glutSetWindow(MainWindow);
    testing::internal::CaptureStdout();  // the stroke builds' console lines
    PaintStroke(-0.6f, -0.2f);
    PaintStroke(-0.3f, 0.3f);
    testing::internal::GetCapturedStdout();
  }

  void TearDown() override {
    SetTextureMenuRoot("textures/");
    TheCanvas.DeleteAll();
  }
};

// ---- Size panel ---------------------------------------------------------------

TEST_F(PanelsTest, SizeWidthPlusResizesOnlyTheSelectedStroke) {
  SelectedStroke = 2;
  WidthEnd = 0.02f;
  const std::vector<float> firstBefore = PathWidths(TheCanvas.strokes[0]);
  const std::vector<float> secondBefore = PathWidths(TheCanvas.strokes[1]);

  OnSizePanelControl(2);  // "Normal Nodes" / "Width" "+"

  EXPECT_FLOAT_EQ(WidthStart, 0.05f);
  EXPECT_EQ(WidthEnd, 0.0f);
  EXPECT_FLOAT_EQ(TheCanvas.strokes[1].size.widthStart, 0.05f);
  EXPECT_EQ(TheCanvas.strokes[1].size.widthEnd, 0.0f);
  EXPECT_NE(PathWidths(TheCanvas.strokes[1]), secondBefore);
  EXPECT_EQ(PathWidths(TheCanvas.strokes[0]), firstBefore);
}

TEST_F(PanelsTest, SizeButtonsMoveTheirValues) {
  const struct {
    int id;
    float* start;
    float* end;
    float startAfter, endAfter;
  } cases[] = {
      {3, &WidthStart, &WidthEnd, 0.03f, 0.0f},
      {4, &HeightStart, &HeightEnd, 0.035f, 0.0f},
      {5, &HeightStart, &HeightEnd, 0.015f, 0.0f},
      {6, &CollisionWidthStart, &CollisionWidthEnd, 1.031f, 1.011f},
      {7, &CollisionWidthStart, &CollisionWidthEnd, 1.011f, 1.031f},
      {8, &CollisionHeightStart, &CollisionHeightEnd, 1.031f, 1.011f},
      {9, &CollisionHeightStart, &CollisionHeightEnd, 1.011f, 1.031f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    ResetApplicationStateForTesting();
    Windows.Restore();
    SelectedStroke = 1;
    WidthEnd = HeightEnd = 0.01f;
    OnSizePanelControl(c.id);
    EXPECT_NEAR(*c.start, c.startAfter, 1e-6);
    EXPECT_NEAR(*c.end, c.endAfter, 1e-6);
  }
}

TEST_F(PanelsTest, SizeControlsDoNothingWithoutASelection) {
  for (int id = 0; id <= 10; ++id) {
    SCOPED_TRACE(id);
    const std::vector<float> before = PathWidths(TheCanvas.strokes[0]);
    OnSizePanelControl(id);
    EXPECT_FLOAT_EQ(WidthStart, 0.04f);
    EXPECT_FLOAT_EQ(HeightStart, 0.025f);
    EXPECT_FLOAT_EQ(CollisionWidthStart, 1.021f);
    EXPECT_FLOAT_EQ(CollisionHeightEnd, 1.021f);
    EXPECT_EQ(PathWidths(TheCanvas.strokes[0]), before);
  }
}

// A changed factor is stored by the spinner before the callback runs; the
// callback must then leave every stroke and every other value alone.
TEST_F(PanelsTest, CollisionFactorEditsOnlyStoreTheFactor) {
  SelectedStroke = 2;
  const std::vector<float> before = PathWidths(TheCanvas.strokes[1]);
  for (int id : {1, 10}) {  // a "Start:" spinner with "C" off, an "End:" spinner
    SCOPED_TRACE(id);
    CollisionWidthEnd = 2.5f;
    OnSizePanelControl(id);
    EXPECT_EQ(CollisionWidthEnd, 2.5f);
    EXPECT_FLOAT_EQ(WidthStart, 0.04f);
    EXPECT_EQ(PathWidths(TheCanvas.strokes[1]), before);
  }
}

TEST_F(PanelsTest, SizeHideMenuHidesAndBlankEntriesDoNothing) {
  ShowSizePanel();
  OnSizePanelMenu(0);
  glutSetWindow(SizePanelWindow);
  OnSizePanelMenu(1);
  SUCCEED();  // GLUT gives no visibility query; hiding must simply not fail
}

TEST_F(PanelsTest, ReshapesStoreAtLeastOnePixel) {
  glutSetWindow(SizePanelWindow);
  ReshapeSizePanel(350, 0);
  EXPECT_EQ(SizePanelHeight, 1);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[3], 1);
  glutSetWindow(FilterPanelWindow);
  ReshapeFilterPanel(0, 200);
  EXPECT_EQ(FilterPanelWidth, 1);
  glutSetWindow(StrokePanelWindow);
  ReshapeStrokePanel(0, 0);
  EXPECT_EQ(StrokePanelWidth, 1);
  EXPECT_EQ(StrokePanelHeight, 1);
  glutSetWindow(CameraPanelWindow);
  ReshapeCameraPanel(0, 300);
  EXPECT_EQ(CameraPanelWidth, 1);
}

// ---- Stroke panel -------------------------------------------------------------

// Draws the preview, then paints one known colour under the pointer.
void DrawPreviewWithColourAt(int x, int yFromTop, float r, float g, float b) {
  glutSetWindow(StrokePanelWindow);
  ReshapeStrokePanel(StrokePanelWidth, StrokePanelHeight);
  DisplayStrokePanel();
  const int glY = StrokePanelViewY + StrokePanelViewHeight - yFromTop;
  glEnable(GL_SCISSOR_TEST);
  glScissor(StrokePanelViewX + x - 2, glY - 2, 5, 5);
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0, 0, 0, 1);
}

TEST_F(PanelsTest, ClickInTheSpectrumPicksTheColourUnderThePointer) {
  glutSetWindow(StrokePanelWindow);
  ReshapeStrokePanel(StrokePanelWidth, StrokePanelHeight);
  ASSERT_GT(StrokePanelViewHeight, 40);
  const int x = StrokePanelViewWidth / 3;
  const int y = StrokePanelViewHeight / 4;  // view y = 3, inside the band
  DrawPreviewWithColourAt(x, y, 0.25f, 0.5f, 0.75f);

  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);

  for (const Vec4* colour : {&StartColour, &EndColour}) {
    EXPECT_NEAR(colour->x, 0.25f, 0.01f);
    EXPECT_NEAR(colour->y, 0.5f, 0.01f);
    EXPECT_NEAR(colour->z, 0.75f, 0.01f);
    EXPECT_EQ(colour->w, 0.0f);
  }
  EXPECT_FLOAT_EQ(ColourMarkerX, static_cast<float>(x) / StrokePanelViewWidth);
  EXPECT_NEAR(ColourMarkerY, 3.0f, 0.05f);
}

TEST_F(PanelsTest, ClicksOutsideTheSpectrumOrOtherButtonsPickNothing) {
  glutSetWindow(StrokePanelWindow);
  ReshapeStrokePanel(StrokePanelWidth, StrokePanelHeight);
  const int h = StrokePanelViewHeight;
  const int x = StrokePanelViewWidth / 2;
  // v = 1.9: just under the band.
  const int below = static_cast<int>(std::ceil(h - 1.9 * h / 4.0));
  DrawPreviewWithColourAt(x, below, 0.9f, 0.1f, 0.1f);
  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, below);
  PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_UP, x, h / 4);
  PickStrokeColour(GLUT_MIDDLE_BUTTON, GLUT_DOWN, x, h / 4);
  EXPECT_EQ(StartColour.x, 0.0f);
  EXPECT_EQ(EndColour.y, 0.0f);
  EXPECT_FLOAT_EQ(ColourMarkerX, 0.086f);
  EXPECT_FLOAT_EQ(ColourMarkerY, 2.189f);

  // v = 2.0 exactly: the first row of the band picks.
  const int atBand = h / 2;
  if (h % 2 == 0) {
    DrawPreviewWithColourAt(x, atBand, 0.9f, 0.1f, 0.1f);
    PickStrokeColour(GLUT_LEFT_BUTTON, GLUT_DOWN, x, atBand);
    EXPECT_NEAR(StartColour.x, 0.9f, 0.01f);
  }
}

class MapFolderTest : public PanelsTest {
 protected:
  void SetUp() override {
    PanelsTest::SetUp();
    root_ = fs::temp_directory_path() / ("kelvra_panels_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "papermap");
    for (const char* name : {"a.bmp", "b.BMP", "c.txt", "x.bmp.old"})
      std::ofstream(root_ / "papermap" / name) << "not a picture";
    SetTextureMenuRoot(root_.string());
  }
  void TearDown() override {
    PanelsTest::TearDown();
    fs::remove_all(root_);
  }
  fs::path root_;
};

TEST_F(MapFolderTest, PaperFolderListsBmpNamesAndAChoiceFillsThePaperSlot) {
  const std::string folder = TextureMenuRoot() + "papermap/";
  const auto entries = FolderMenuEntries(folder);
  ASSERT_TRUE(entries.has_value());
  std::vector<std::string> labels;
  for (const FolderMenuEntry& entry : *entries) labels.push_back(entry.label);
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::string>{"a.bmp", "b.BMP", "x.bmp.old"}));

  glutSetWindow(StrokePanelWindow);
  const int menu = CreateFolderMenu(folder, OnPaperMapChoice, "Papermap Directory not Found...");
  ASSERT_NE(menu, 0);
  glutSetMenu(menu);
  EXPECT_EQ(glutGet(GLUT_MENU_NUM_ITEMS), 3);
  glutDestroyMenu(menu);

  for (const FolderMenuEntry& entry : *entries) {
    SCOPED_TRACE(entry.label);
    SyncRequested = 0;
    testing::internal::CaptureStdout();  // the loader's complaints about the fake files
    OnPaperMapChoice(entry.value);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::string(MapFile(MAP_PAPER)), folder + entry.label);
    EXPECT_EQ(SyncRequested, 1);
  }
}

TEST_F(MapFolderTest, ChoicePastTheListingChangesNothing) {
  const std::string before = MapFile(MAP_PAPER);
  OnPaperMapChoice(-4);
  EXPECT_EQ(std::string(MapFile(MAP_PAPER)), before);
  EXPECT_EQ(SyncRequested, 0);
}

// ---- Filter panel ----------------------------------------------------------------

bool SamePixels(const BmpImage& a, const BmpImage& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel())
    return false;
  const size_t bytes = static_cast<size_t>(a.Width()) * a.Height() * a.BitsPerPixel() / 8;
  return std::equal(a.Data(), a.Data() + bytes, b.Data());
}

void FillRandomSource(unsigned seed) {
  ASSERT_TRUE(SourceImage.Allocate(32, 24, 24));
  std::mt19937 random(seed);
  std::uint8_t* data = SourceImage.Data();
  for (int i = 0; i < 32 * 24 * 3; ++i) data[i] = static_cast<std::uint8_t>(random() & 0xFF);
}

TEST_F(PanelsTest, EachFilterStartsFromTheSource) {
  FillRandomSource(7);
  BmpImage gaussian, verticals, verticalsOfGaussian;
  ASSERT_TRUE(ApplyFilter(SourceImage, gaussian, 4));
  ASSERT_TRUE(ApplyFilter(SourceImage, verticals, 35));
  ASSERT_TRUE(ApplyFilter(gaussian, verticalsOfGaussian, 35));
  ASSERT_FALSE(SamePixels(verticals, verticalsOfGaussian));

  OnFilterChoice(4);  // "GAUSSIAN"
  EXPECT_TRUE(SamePixels(FilteredImage, gaussian));
  EXPECT_EQ(SyncRequested, 1);
  SyncRequested = 0;
  OnFilterChoice(35);  // "VERTICALS"
  EXPECT_TRUE(SamePixels(FilteredImage, verticals));
  EXPECT_EQ(SyncRequested, 1);
}

TEST_F(PanelsTest, NoneShowsTheSourceUnfiltered) {
  FillRandomSource(11);
  OnFilterChoice(4);
  OnFiltersMenu(kShowUnfilteredSource);
  EXPECT_TRUE(SamePixels(FilteredImage, SourceImage));
  EXPECT_EQ(SyncRequested, 1);
}

TEST_F(PanelsTest, NewSourceIsShownThroughVerticals) {
  const fs::path root =
      fs::temp_directory_path() / ("kelvra_sources_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "sourcemap");
  FillRandomSource(3);
  ASSERT_TRUE(SourceImage.Save((root / "sourcemap" / "only.bmp").string()));
  BmpImage saved;
  ASSERT_TRUE(saved.Load((root / "sourcemap" / "only.bmp").string()));
  BmpImage expected;
  ASSERT_TRUE(ApplyFilter(saved, expected, 35));
  SetTextureMenuRoot(root.string());

  ASSERT_TRUE(SourceImage.Allocate(4, 4, 24));
  OnSourceChoice(-1);

  EXPECT_EQ(std::string(MapFile(MAP_SOURCE)), root.string() + "/sourcemap/only.bmp");
  EXPECT_TRUE(SamePixels(SourceImage, saved));
  EXPECT_TRUE(SamePixels(FilteredImage, expected));
  EXPECT_EQ(SyncRequested, 1);
  fs::remove_all(root);
}

// ---- Camera panel ----------------------------------------------------------------

TEST_F(PanelsTest, DeleteSelectedMarksOnlyThatStroke) {
  OnCameraPanelControl(1);  // nothing selected
  EXPECT_EQ(TheCanvas.strokes[0].deleted, 0);
  EXPECT_EQ(TheCanvas.strokes[1].deleted, 0);

  SelectedStroke = 2;
  OnCameraPanelControl(1);
  EXPECT_EQ(TheCanvas.strokes[0].deleted, 0);
  EXPECT_EQ(TheCanvas.strokes[1].deleted, 1);
  EXPECT_EQ(TheCanvas.count, 2);
  EXPECT_EQ(SelectedStroke, 2);

  OnCameraPanelControl(3);  // "Load"
  OnCameraPanelControl(4);  // "Save"
  EXPECT_EQ(TheCanvas.count, 2);
  EXPECT_EQ(TheCanvas.strokes[0].deleted, 0);

  OnCameraPanelControl(2);  // "Delete All"
  EXPECT_EQ(TheCanvas.count, 0);
  EXPECT_TRUE(TheCanvas.strokes[0].path.empty());
}

// Counts pixels of the camera preview close to one colour.
int CountCameraPixels(unsigned char r, unsigned char g, unsigned char b) {
  glutSetWindow(CameraPanelWindow);
  ReshapeCameraPanel(CameraPanelWidth, CameraPanelHeight);
  DisplayCameraPanel();
  std::vector<unsigned char> rgb(static_cast<size_t>(CameraPanelWidth) * CameraPanelHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, CameraPanelWidth, CameraPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  int count = 0;
  for (size_t i = 0; i < rgb.size(); i += 3)
    if (std::abs(rgb[i] - r) < 8 && std::abs(rgb[i + 1] - g) < 8 && std::abs(rgb[i + 2] - b) < 8)
      ++count;
  return count;
}

void PlaceMainCamera() {
  TheCamera.Init();  // the field of view and the light position of start-up
  // Main-view matrices of a camera at z = 3 looking at the origin, 60° field
  // of view, near 1, far 100.
  for (int i = 0; i < 16; ++i) ModelViewMatrix[i] = ProjectionMatrix[i] = (i % 5 == 0) ? 1 : 0;
  ModelViewMatrix[14] = -3;
  const double f = 1.0 / std::tan(30.0 * M_PI / 180.0);
  ProjectionMatrix[0] = f;
  ProjectionMatrix[5] = f;
  ProjectionMatrix[10] = -101.0 / 99.0;
  ProjectionMatrix[11] = -1;
  ProjectionMatrix[14] = -200.0 / 99.0;
  ProjectionMatrix[15] = 0;
}

TEST_F(PanelsTest, CameraGlyphIsDrawnOnlyForAnInvertibleView) {
  PlaceMainCamera();
  EXPECT_GT(CountCameraPixels(0, 0, 255), 0);  // the blue arrow

  for (double& m : ModelViewMatrix) m = 0;  // no camera can be read from this
  EXPECT_EQ(CountCameraPixels(0, 0, 255), 0);
}

TEST_F(PanelsTest, LightLineFollowsLightOn) {
  PlaceMainCamera();
  LightOn = 1;
  EXPECT_GT(CountCameraPixels(255, 255, 0), 0);
  LightOn = 0;
  EXPECT_EQ(CountCameraPixels(255, 255, 0), 0);
}

// ---- The controls as the layer holds them -----------------------------------------

GLUI* GluiOf(int window, int side) {
  for (const auto& glui : GLUI_Master.guis)
    if (glui->parent_window == window && glui->side == side) return glui.get();
  return nullptr;
}

// The control reached by a path of names from the root: panels by title,
// the last name the control's label ("" for the untitled light panel).
GLUI_Control* Find(GLUI* glui, const std::vector<std::string>& path) {
  if (!glui) return nullptr;
  GLUI_Panel* panel = &glui->root;
  for (size_t i = 0; i < path.size(); ++i) {
    GLUI_Control* found = nullptr;
    for (const auto& child : panel->children)
      if (child->name == path[i] && !dynamic_cast<GLUI_Column*>(child.get())) {
        found = child.get();
        break;
      }
    if (!found) return nullptr;
    if (i + 1 == path.size()) return found;
    panel = dynamic_cast<GLUI_Panel*>(found);
    if (!panel) return nullptr;
  }
  return nullptr;
}

std::string Joined(const std::vector<std::string>& path) {
  std::string joined;
  for (const std::string& name : path) joined += "/" + name;
  return joined;
}

// A user's click or commit: the layer writes the variable, then calls back.
void Press(GLUI* glui, const std::vector<std::string>& path) {
  GLUI_Control* control = Find(glui, path);
  ASSERT_NE(control, nullptr) << Joined(path);
  glui->RunChange(control);
}

void Type(GLUI* glui, const std::vector<std::string>& path, double value) {
  auto* spinner = dynamic_cast<GLUI_Spinner*>(Find(glui, path));
  ASSERT_NE(spinner, nullptr) << Joined(path);
  spinner->Assign(value);
  glui->RunChange(spinner);
}

void Tick(GLUI* glui, const std::vector<std::string>& path, int value) {
  auto* box = dynamic_cast<GLUI_Checkbox*>(Find(glui, path));
  ASSERT_NE(box, nullptr) << Joined(path);
  box->set_int_val(value);
  glui->RunChange(box);
}

struct ExpectedControl {
  std::vector<std::string> path;
  int id;
  const void* live;  // nullptr for buttons
};

void ExpectControls(GLUI* glui, const std::vector<ExpectedControl>& expectedControls) {
  ASSERT_NE(glui, nullptr);
  for (const ExpectedControl& expected : expectedControls) {
    SCOPED_TRACE(Joined(expected.path));
    GLUI_Control* control = Find(glui, expected.path);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->get_id(), expected.id);
    if (auto* spinner = dynamic_cast<GLUI_Spinner*>(control)) {
      EXPECT_EQ(spinner->live, expected.live);
    }
    if (auto* box = dynamic_cast<GLUI_Checkbox*>(control)) {
      EXPECT_EQ(box->live, expected.live);
    }
    if (auto* ball = dynamic_cast<GLUI_Rotation*>(control)) {
      EXPECT_EQ(ball->live, expected.live);
    }
  }
}

TEST_F(PanelsTest, SizeControlsCarryTheirIdsAndVariables) {
  GLUI* glui = GluiOf(SizePanelWindow, GLUI_SUBWINDOW_BOTTOM);
  ExpectControls(glui, {
                           {{"Normal Nodes", "Width", "+"}, 2, nullptr},
                           {{"Normal Nodes", "Width", "-"}, 3, nullptr},
                           {{"Normal Nodes", "Width", "Start:"}, 0, &WidthStart},
                           {{"Normal Nodes", "Width", "End:"}, 0, &WidthEnd},
                           {{"Normal Nodes", "Height", "+"}, 4, nullptr},
                           {{"Normal Nodes", "Height", "-"}, 5, nullptr},
                           {{"Normal Nodes", "Height", "Start:"}, 0, &HeightStart},
                           {{"Normal Nodes", "Height", "End:"}, 0, &HeightEnd},
                           {{"Collision Nodes", "Width", "+"}, 6, nullptr},
                           {{"Collision Nodes", "Width", "-"}, 7, nullptr},
                           {{"Collision Nodes", "Width", "Start:"}, 1, &CollisionWidthStart},
                           {{"Collision Nodes", "Width", "End:"}, 10, &CollisionWidthEnd},
                           {{"Collision Nodes", "Height", "+"}, 8, nullptr},
                           {{"Collision Nodes", "Height", "-"}, 9, nullptr},
                           {{"Collision Nodes", "Height", "Start:"}, 1, &CollisionHeightStart},
                           {{"Collision Nodes", "Height", "End:"}, 10, &CollisionHeightEnd},
                       });
}

TEST_F(PanelsTest, PressingSizePlusThroughTheLayerResizesTheSelection) {
  SelectedStroke = 2;
  Press(GluiOf(SizePanelWindow, GLUI_SUBWINDOW_BOTTOM), {"Normal Nodes", "Width", "+"});
  EXPECT_FLOAT_EQ(WidthStart, 0.05f);
  EXPECT_FLOAT_EQ(TheCanvas.strokes[1].size.widthStart, 0.05f);

  // A typed "Start:" value reaches the stroke too.
  Type(GluiOf(SizePanelWindow, GLUI_SUBWINDOW_BOTTOM), {"Normal Nodes", "Height", "Start:"}, 0.07);
  EXPECT_FLOAT_EQ(HeightStart, 0.07f);
  EXPECT_FLOAT_EQ(TheCanvas.strokes[1].size.heightStart, 0.07f);
}

TEST_F(PanelsTest, StrokeControlsCarryTheirIdsAndVariables) {
  ExpectControls(GluiOf(StrokePanelWindow, GLUI_SUBWINDOW_BOTTOM),
                 {
                     {{"Shape Curve", "LOD:"}, -1, &ShapeLod},
                     {{"Path Curve", "LOD:"}, -1, &PathLod},
                     {{"Mesh Subdivision", "# Subdivisions:"}, 0, &SubdivisionLevels},
                     {{"Stroke Capping", "End node:"}, 0, &EndNode},
                 });
  ExpectControls(GluiOf(StrokePanelWindow, GLUI_SUBWINDOW_RIGHT),
                 {
                     {{"Update"}, 7, nullptr},
                     {{"Size", "+"}, 3, nullptr},
                     {{"Size", "-"}, 4, nullptr},
                     {{"Size", "More Options"}, 2, nullptr},
                     {{"Primitives", "N"}, 1, &ShowNodes},
                     {{"Primitives", "P"}, 5, &ShowParticles},
                     {{"Primitives", "M"}, 6, &ShowMesh},
                     {{"Misc", "C"}, 1, &CollideAfterStroke},
                     {{"Misc", "R"}, 1, &RandomSize},
                 });
}

TEST_F(PanelsTest, StrokeSpinnersHoldTypedValuesToTheirRanges) {
  GLUI* curves = GluiOf(StrokePanelWindow, GLUI_SUBWINDOW_BOTTOM);
  const struct {
    std::vector<std::string> path;
    double typed;
    const int* variable;
    int stored;
  } cases[] = {
      {{"Path Curve", "LOD:"}, 80, &PathLod, 64},
      {{"Shape Curve", "LOD:"}, 0, &ShapeLod, 1},
      {{"Mesh Subdivision", "# Subdivisions:"}, -1, &SubdivisionLevels, 0},
      {{"Mesh Subdivision", "# Subdivisions:"}, 9, &SubdivisionLevels, 5},
      {{"Stroke Capping", "End node:"}, 65, &EndNode, 64},
      {{"Stroke Capping", "End node:"}, 12, &EndNode, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Joined(c.path) + " " + std::to_string(c.typed));
    Type(curves, c.path, c.typed);
    EXPECT_EQ(*c.variable, c.stored);
  }
}

// "P" and "M" are wired to the rebuild callback, which keeps them apart.
TEST_F(PanelsTest, TickingParticlesThroughTheLayerClearsMesh) {
  Tick(GluiOf(StrokePanelWindow, GLUI_SUBWINDOW_RIGHT), {"Primitives", "P"}, 1);
  EXPECT_EQ(ShowParticles, 1);
  EXPECT_EQ(ShowMesh, 0);
}

TEST_F(PanelsTest, CameraControlsCarryTheirIdsAndVariables) {
  GLUI* glui = GluiOf(CameraPanelWindow, GLUI_SUBWINDOW_BOTTOM);
  ExpectControls(glui, {
                           {{"", "Light 1"}, -1, LightRotation},
                           {{"Light ON/OFF"}, 1, &LightOn},
                           {{"Paper ON/OFF"}, 1, &PaperOn},
                           {{"Axes ON/OFF"}, 1, &AxesOn},
                           {{"Cursor ON/OFF"}, 1, &CursorOn},
                           {{"Delete Selected"}, 1, nullptr},
                           {{"Delete All"}, 2, nullptr},
                           {{"Load"}, 3, nullptr},
                           {{"Save"}, 4, nullptr},
                       });
  auto* ball = dynamic_cast<GLUI_Rotation*>(Find(glui, {"", "Light 1"}));
  ASSERT_NE(ball, nullptr);
  EXPECT_FLOAT_EQ(ball->spin_damping, 0.5f);

  SelectedStroke = 1;
  Press(glui, {"Delete Selected"});
  EXPECT_EQ(TheCanvas.strokes[0].deleted, 1);
}

}  // namespace
