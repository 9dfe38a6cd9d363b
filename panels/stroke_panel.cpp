#include "panels/stroke_panel.h"

#include <GL/freeglut.h>

#include <string>

#include "actions/actions.h"
#include "actions/readback.h"
#include "common/constants.h"
#include "glui/glui.h"
#include "image/textures.h"
#include "panels/panel_window.h"
#include "panels/size_panel.h"
#include "panels/texture_menus.h"
#include "state/redraw.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Stroke Control Panel:";

// The preview's view is x 0–1, y 0–4; the spectrum fills y 2–4.
constexpr float kViewHeight = 4.0f;

// Control ids of the rebuild callback (OnStrokePanelControl), which also
// serves the right-button menu with its "Hide" entry.
enum StrokeControl {
  kHide = kHideMenuValue,
  kShowSizePanel = 2,
  kGrow = 3,
  kShrink = 4,
  kParticlesSwitched = 5,
  kMeshSwitched = 6,
  kUpdate = 7,
};
// The id of the controls read only when strokes are built or drawn: their
// callback only tells that a setting changed.
constexpr int kNoAction = 1;

// A browsable map folder: its submenu, the map slot its files replace
// (whose folder the menu lists) and the line printed when it is missing.
struct MapFolder {
  const char* title;
  MapSlot slot;
  const char* missingLine;
  void (*onChoice)(int);
};

// In the order the submenus are built.
const MapFolder kMeshFolder{"Mesh Maps", MAP_MESH, "Texmap Directory not Found...",
                            OnMeshMapChoice};
const MapFolder kDetailFolder{"Detail Maps", MAP_DETAIL,
                              "Detailmap Directory not Found...", OnDetailMapChoice};
const MapFolder kParticleFolder{"Particle Maps", MAP_PARTICLE_BRUSH,
                                "Particle Maps Directory not Found...", OnParticleMapChoice};
const MapFolder kHeightFolder{"Height Maps", MAP_HEIGHT,
                              "Heightmap Directory not Found...", OnHeightMapChoice};
const MapFolder kPaperFolder{"Paper Maps", MAP_PAPER,
                             "Papermap Directory not Found...", OnPaperMapChoice};

std::string DirectoryOf(const MapFolder& folder) {
  return TextureMenuRoot() + MapFolderOf(folder.slot);
}

// Stores the chosen file in the folder's slot and reloads the maps here so
// the preview shows it at once; the main window follows on its next idle.
void ChooseFolderFile(const MapFolder& folder, int value) {
  const auto path = FolderFileForMenuValue(DirectoryOf(folder), value);
  if (!path) return;
  ChooseMapFile(folder.slot, *path);
  glutSetWindow(AppState().windows.strokePanel.id);
  LoadAllMaps(AppState().maps);
  TexturesReloaded(Picture::kStrokePanel);
}

// An int spinner over a stroke setting, limited to its list's range.
GLUI_Spinner* AddIntSpinner(GLUI* glui, const char* panelName, const char* label, int* variable,
                            int id, GLUI_Update_CB callback) {
  GLUI_Panel* panel = glui->add_panel(panelName, GLUI_PANEL_EMBOSSED);
  GLUI_Spinner* spinner =
      glui->add_spinner_to_panel(panel, label, GLUI_SPINNER_INT, variable, id, callback);
  const SettingRange range = RangeOfSetting(AppState().strokeSettings, variable);
  spinner->set_int_limits(static_cast<int>(range.lowest), static_cast<int>(range.highest),
                          GLUI_LIMIT_CLAMP);
  return spinner;
}

void BuildCurveControls(GLUI* curves) {
  StrokeSettings& settings = AppState().strokeSettings;
  AddIntSpinner(curves, "Shape Curve", "LOD:", &settings.shapeLod, -1, OnSettingControl);
  AddIntSpinner(curves, "Path Curve", "LOD:", &settings.pathLod, -1, OnSettingControl);
  curves->add_column(true);
  AddIntSpinner(curves, "Mesh Subdivision", "# Subdivisions:", &settings.subdivisionLevels, 0,
                OnSubdivisionControl);
  AddIntSpinner(curves, "Stroke Capping", "End node:", &settings.endNode, 0, OnSubdivisionControl);
}

// "N", "C" and "R" are read when strokes are built or drawn: their
// callback only tells that a setting changed.
void BuildButtonControls(GLUI* buttons) {
  StrokeSettings& settings = AppState().strokeSettings;
  buttons->add_separator();
  buttons->add_button("Update", kUpdate, OnStrokePanelControl);
  GLUI_Panel* size = buttons->add_panel("Size", GLUI_PANEL_EMBOSSED);
  buttons->add_button_to_panel(size, "+", kGrow, OnStrokePanelControl);
  buttons->add_button_to_panel(size, "-", kShrink, OnStrokePanelControl);
  buttons->add_separator_to_panel(size);
  buttons->add_button_to_panel(size, "More Options", kShowSizePanel, OnStrokePanelControl);

  GLUI_Panel* primitives = buttons->add_panel("Primitives", GLUI_PANEL_EMBOSSED);
  buttons->add_checkbox_to_panel(primitives, "N", &AppState().display.showNodes, kNoAction,
                                 OnSettingControl);
  buttons->add_column_to_panel(primitives, true);
  buttons->add_checkbox_to_panel(primitives, "P", &settings.showParticles, kParticlesSwitched,
                                 OnStrokePanelControl);
  buttons->add_column_to_panel(primitives, true);
  buttons->add_checkbox_to_panel(primitives, "M", &settings.showMesh, kMeshSwitched,
                                 OnStrokePanelControl);

  GLUI_Panel* misc = buttons->add_panel("Misc", GLUI_PANEL_EMBOSSED);
  buttons->add_checkbox_to_panel(misc, "C", &AppState().collisions.afterStroke, kNoAction,
                                 OnSettingControl);
  buttons->add_column_to_panel(misc, true);
  buttons->add_checkbox_to_panel(misc, "R", &settings.randomSize, kNoAction, OnSettingControl);
  buttons->add_separator();
}

// Folders that cannot be opened print their line and are left out.
void AddFolderSubmenu(int menu, const MapFolder& folder) {
  if (menu != 0) glutAddSubMenu(folder.title, menu);
}

void BuildMenu() {
  const int mesh =
      CreateFolderMenu(DirectoryOf(kMeshFolder), kMeshFolder.onChoice, kMeshFolder.missingLine);
  const int detail = CreateFolderMenu(DirectoryOf(kDetailFolder), kDetailFolder.onChoice,
                                      kDetailFolder.missingLine);
  const int particle = CreateFolderMenu(DirectoryOf(kParticleFolder), kParticleFolder.onChoice,
                                        kParticleFolder.missingLine);
  const int height = CreateFolderMenu(DirectoryOf(kHeightFolder), kHeightFolder.onChoice,
                                      kHeightFolder.missingLine);
  const int paper =
      CreateFolderMenu(DirectoryOf(kPaperFolder), kPaperFolder.onChoice, kPaperFolder.missingLine);

  glutCreateMenu(OnStrokePanelControl);
  glutAddMenuEntry("", 0);
  AddFolderSubmenu(paper, kPaperFolder);
  glutAddMenuEntry("", 0);
  AddFolderSubmenu(particle, kParticleFolder);
  AddFolderSubmenu(height, kHeightFolder);
  glutAddMenuEntry("", 0);
  AddFolderSubmenu(mesh, kMeshFolder);
  AddFolderSubmenu(detail, kDetailFolder);
  glutAddMenuEntry("", 0);
  glutAddMenuEntry("Hide", kHide);
  glutAddMenuEntry("", 0);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}

// One preview map over x0–x1, y0–y1; s runs 1 → 0 from left to right, and
// t = 1 sits on the top or the bottom edge.
enum class TopT { kTop, kBottom };
void DrawMapQuad(unsigned int texture, float x0, float x1, float y0, float y1, TopT t1) {
  const float tBottom = t1 == TopT::kBottom ? 1.0f : 0.0f;
  DrawTexturedQuad(texture, x0, y0, x1, y1, 1, tBottom, 0, 1.0f - tBottom);
}

void DrawColourMarker() {
  const Vec4& colour = AppState().strokeSettings.startColour;
  const bool light = colour.x > 0.5f && colour.y > 0.5f && colour.z > 0.5f;
  glPointSize(6.0f);
  glColor3f(light ? 0.0f : 1.0f, light ? 0.0f : 1.0f, light ? 0.0f : 1.0f);
  const ColourMarker& marker = AppState().colourMarker;
  glBegin(GL_POINTS);
  glVertex3f(marker.x, marker.y, 0);
  glEnd();
  glPointSize(4.0f);
  glColor3f(colour.x, colour.y, colour.z);
  glBegin(GL_POINTS);
  glVertex3f(marker.x, marker.y, 0);
  glEnd();
  glColor3f(1, 1, 1);
}

}  // namespace

void CreateStrokePanel() {
  WindowPlace& place = AppState().windows.strokePanel;
  CreatePanelWindow(kTitle, place);
  GLUI* curves = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_BOTTOM);
  GLUI* buttons = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_RIGHT);

  GLUI_Master.set_glutKeyboardFunc(IgnoreKeyboard);
  GLUI_Master.set_glutSpecialFunc(IgnoreSpecialKey);
  GLUI_Master.set_glutMouseFunc(PickStrokeColour);
  GLUI_Master.set_glutReshapeFunc(ReshapeStrokePanel);
  glutDisplayFunc(DisplayStrokePanel);

  BuildCurveControls(curves);
  BuildButtonControls(buttons);
  glutSetWindow(place.id);
  BuildMenu();

  glClearColor(0, 0, 0, 1);
  LoadAllMaps(AppState().maps);

  curves->set_main_gfx_window(place.id);
  buttons->set_main_gfx_window(place.id);
}

void ShowStrokePanel() { ShowPanelWindow(AppState().windows.strokePanel.id); }
void HideStrokePanel() { HidePanelWindow(AppState().windows.strokePanel.id); }

void PickStrokeColour(int button, int state, int x, int y) {
  if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) return;
  const ViewArea& view = AppState().windows.strokePanelView;
  if (view.width <= 0 || view.height <= 0) return;
  const float viewHeight = static_cast<float>(view.height);
  const float v = (viewHeight - static_cast<float>(y)) / viewHeight * kViewHeight;
  if (static_cast<int>(v) <= 1.2) return;  // below the spectrum band

  Vec4 colour = ReadPixelColour(view.x + x, view.y + view.height - y, view.width);
  colour.w = 0.0f;
  PickColour(colour, static_cast<float>(x) / static_cast<float>(view.width), v);
}

void OnStrokePanelControl(int id) {
  StrokeSettings& settings = AppState().strokeSettings;
  switch (id) {
    case kHide:
      HideStrokePanel();
      break;
    case kShowSizePanel:
      ShowSizePanel();
      break;
    case kGrow:
    case kShrink:
      GrowSelectedStroke(SizeAxis::kBoth, id == kGrow ? kSizeStep : -kSizeStep);
      break;
    case kParticlesSwitched:
      if (settings.showParticles) settings.showMesh = 0;
      SettingChanged();
      break;
    case kMeshSwitched:
      if (settings.showMesh) settings.showParticles = 0;
      SettingChanged();
      break;
    case kUpdate:
      if (HasSelectedStroke()) UpdateSelectedStroke();
      break;
    default:
      break;
  }
}

void OnMeshMapChoice(int value) { ChooseFolderFile(kMeshFolder, value); }
void OnDetailMapChoice(int value) { ChooseFolderFile(kDetailFolder, value); }
void OnParticleMapChoice(int value) { ChooseFolderFile(kParticleFolder, value); }
void OnHeightMapChoice(int value) { ChooseFolderFile(kHeightFolder, value); }
void OnPaperMapChoice(int value) { ChooseFolderFile(kPaperFolder, value); }

void OnSubdivisionControl(int) {
  const ApplicationState& state = AppState();
  if (state.strokeSettings.subdivisionLevels != 0) glutSetWindow(state.windows.main.id);
  SettingChanged();
}

std::string StrokePanelRedrawKey() {
  const ApplicationState& state = AppState();
  const ViewArea& view = state.windows.strokePanelView;
  RedrawKey key;
  key.Add(state.redraw.textureRevisions[static_cast<int>(Picture::kStrokePanel)]);
  key.Add(state.strokeSettings.startColour).Add(state.colourMarker.x).Add(state.colourMarker.y);
  key.Add(view.x).Add(view.y).Add(view.width).Add(view.height);
  return key.Done();
}

void DisplayStrokePanel() {
  NotePanelDrawn(Picture::kStrokePanel, StrokePanelRedrawKey());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  DrawMapQuad(TEX_HEIGHT, 0.5f, 1.0f, 1.0f, 2.0f, TopT::kBottom);
  DrawMapQuad(TEX_DETAIL, 0.51f, 0.995f, 0.01f, 0.99f, TopT::kTop);
  DrawMapQuad(TEX_PARTICLE_BRUSH, 0.0f, 0.5f, 1.0f, 2.0f, TopT::kTop);
  DrawMapQuad(TEX_MESH, 0.01f, 0.495f, 0.01f, 0.99f, TopT::kTop);
  DrawMapQuad(TEX_SPECTRUM, 0.0f, 1.0f, 2.0f, 4.0f, TopT::kBottom);
  glDisable(GL_TEXTURE_2D);
  DrawColourMarker();
  glutSwapBuffers();
}

void ReshapeStrokePanel(int width, int height) {
  WindowResized(Picture::kStrokePanel);
  Windows& windows = AppState().windows;
  windows.strokePanel.width = StoredExtent(width);
  windows.strokePanel.height = StoredExtent(height);
  ViewArea& view = windows.strokePanelView;
  GLUI_Master.get_viewport_area(&view.x, &view.y, &view.width, &view.height);
  glViewport(view.x, view.y, view.width, view.height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, 1, 0, kViewHeight);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
