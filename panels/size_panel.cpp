#include "panels/size_panel.h"

#include <GL/freeglut.h>

#include "actions/actions.h"
#include "common/constants.h"
#include "glui/glui.h"
#include "image/filters.h"
#include "image/textures.h"
#include "panels/panel_window.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Size Control Panel:";

// Control ids. The "Collision Nodes" "End:" spinners report kEndFactorChanged:
// GLUI has already stored the new factor, which the next collision check
// reads; the callback leaves the stroke and the other values alone, so that
// editing one factor never resizes the stroke as a side effect.
enum SizeControl {
  kNormalSizeChanged = 0,
  kCollisionStartChanged = 1,
  kWidthGrow = 2,
  kWidthShrink = 3,
  kHeightGrow = 4,
  kHeightShrink = 5,
  kCollisionWidthGrow = 6,
  kCollisionWidthShrink = 7,
  kCollisionHeightGrow = 8,
  kCollisionHeightShrink = 9,
  kEndFactorChanged = 10,
};

// One "Width" or "Height" block: "+", "-", a separator, "Start:" and "End:".
void AddSizeBlock(GLUI* glui, GLUI_Panel* group, const char* name, int growId, int shrinkId,
                  float* start, int startId, float* end, int endId) {
  GLUI_Panel* block = glui->add_panel_to_panel(group, name, GLUI_PANEL_EMBOSSED);
  glui->add_button_to_panel(block, "+", growId, OnSizePanelControl);
  glui->add_button_to_panel(block, "-", shrinkId, OnSizePanelControl);
  glui->add_separator_to_panel(block);
  glui->add_spinner_to_panel(block, "Start:", GLUI_SPINNER_FLOAT, start, startId,
                             OnSizePanelControl);
  glui->add_spinner_to_panel(block, "End:", GLUI_SPINNER_FLOAT, end, endId, OnSizePanelControl);
}

void BuildControls(GLUI* glui) {
  // The "Normal Nodes" values start over from their defaults when the
  // controls are built.
  StrokeSettings& sizes = AppState().strokeSettings;
  const StrokeSettings defaults;
  sizes.widthStart = defaults.widthStart;
  sizes.widthEnd = defaults.widthEnd;
  sizes.heightStart = defaults.heightStart;
  sizes.heightEnd = defaults.heightEnd;

  GLUI_Panel* normal = glui->add_panel("Normal Nodes", GLUI_PANEL_EMBOSSED);
  AddSizeBlock(glui, normal, "Width", kWidthGrow, kWidthShrink, &sizes.widthStart,
               kNormalSizeChanged, &sizes.widthEnd, kNormalSizeChanged);
  glui->add_column_to_panel(normal, true);
  AddSizeBlock(glui, normal, "Height", kHeightGrow, kHeightShrink, &sizes.heightStart,
               kNormalSizeChanged, &sizes.heightEnd, kNormalSizeChanged);

  CollisionFactors& factors = AppState().collisions.factors;
  GLUI_Panel* collision = glui->add_panel("Collision Nodes", GLUI_PANEL_EMBOSSED);
  AddSizeBlock(glui, collision, "Width", kCollisionWidthGrow, kCollisionWidthShrink,
               &factors.widthStart, kCollisionStartChanged, &factors.widthEnd, kEndFactorChanged);
  glui->add_column_to_panel(collision, true);
  AddSizeBlock(glui, collision, "Height", kCollisionHeightGrow, kCollisionHeightShrink,
               &factors.heightStart, kCollisionStartChanged, &factors.heightEnd, kEndFactorChanged);
}

}  // namespace

void CreateSizePanel() {
  WindowPlace& place = AppState().windows.sizePanel;
  CreatePanelWindow(kTitle, place);
  glutDisplayFunc(DisplaySizePanel);
  glutMouseFunc(IgnoreMouse);

  GLUI* glui = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Master.set_glutReshapeFunc(ReshapeSizePanel);

  glutSetWindow(place.id);
  LoadAllMaps(AppState().maps);
  // The filtered image is otherwise uploaded only in the main and Filter
  // windows; this window's context needs its own copy for the preview.
  UploadImageTexture(AppState().pictures.filtered, TEX_FILTERED);

  BuildControls(glui);
  glutSetWindow(place.id);
  AttachHideMenu(OnSizePanelMenu);

  glui->set_main_gfx_window(AppState().windows.main.id);
  HideSizePanel();
}

void ShowSizePanel() { ShowPanelWindow(AppState().windows.sizePanel.id); }
void HideSizePanel() { HidePanelWindow(AppState().windows.sizePanel.id); }

void OnSizePanelControl(int id) {
  // The spinners have written their settings already, selection or not.
  if (id == kNormalSizeChanged || id == kCollisionStartChanged || id == kEndFactorChanged)
    SettingChanged();
  if (!HasSelectedStroke() || id > kCollisionHeightShrink) return;
  switch (id) {
    case kNormalSizeChanged:
      ResizeSelectedStroke();
      break;
    case kCollisionStartChanged:
      if (AppState().collisions.afterStroke) CollideStrokes();
      break;
    case kWidthGrow:
    case kWidthShrink:
      GrowSelectedStroke(SizeAxis::kWidth, id == kWidthGrow ? kSizeStep : -kSizeStep);
      break;
    case kHeightGrow:
    case kHeightShrink:
      GrowSelectedStroke(SizeAxis::kHeight, id == kHeightGrow ? kSizeStep : -kSizeStep);
      break;
    case kCollisionWidthGrow:
    case kCollisionWidthShrink:
      ShiftCollisionFactors(SizeAxis::kWidth, id == kCollisionWidthGrow ? kSizeStep : -kSizeStep);
      break;
    case kCollisionHeightGrow:
    case kCollisionHeightShrink:
      ShiftCollisionFactors(SizeAxis::kHeight, id == kCollisionHeightGrow ? kSizeStep : -kSizeStep);
      break;
    default:
      break;
  }
}

void OnSizePanelMenu(int value) {
  if (value == kHideMenuValue) HideSizePanel();
}

void DisplaySizePanel() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glColor3f(1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  DrawTexturedQuad(TEX_FILTERED, 0, 0, 1, 1, 0, 0, 1, 1);
  glDisable(GL_TEXTURE_2D);
  glutSwapBuffers();
}

void ReshapeSizePanel(int width, int height) {
  WindowPlace& place = AppState().windows.sizePanel;
  place.width = StoredExtent(width);
  place.height = StoredExtent(height);
  SetUnitSquareView(place.width, place.height);
}

void RefreshSizePanelPreview() {
  const int window = AppState().windows.sizePanel.id;
  if (window == 0) return;
  glutSetWindow(window);
  UploadImageTexture(AppState().pictures.filtered, TEX_FILTERED);
  glutPostRedisplay();
}
