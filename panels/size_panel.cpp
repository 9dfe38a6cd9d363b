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

GLUI* SizePanelGlui = nullptr;

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
void AddSizeBlock(GLUI_Panel* group, const char* name, int growId, int shrinkId, float* start,
                  int startId, float* end, int endId) {
  GLUI_Panel* block = SizePanelGlui->add_panel_to_panel(group, name, GLUI_PANEL_EMBOSSED);
  SizePanelGlui->add_button_to_panel(block, "+", growId, OnSizePanelControl);
  SizePanelGlui->add_button_to_panel(block, "-", shrinkId, OnSizePanelControl);
  SizePanelGlui->add_separator_to_panel(block);
  SizePanelGlui->add_spinner_to_panel(block, "Start:", GLUI_SPINNER_FLOAT, start, startId,
                                      OnSizePanelControl);
  SizePanelGlui->add_spinner_to_panel(block, "End:", GLUI_SPINNER_FLOAT, end, endId,
                                      OnSizePanelControl);
}

void BuildControls() {
  // The "Normal Nodes" values start over from their defaults when the
  // controls are built.
  StrokeSettings& sizes = AppState().strokeSettings;
  const StrokeSettings defaults;
  sizes.widthStart = defaults.widthStart;
  sizes.widthEnd = defaults.widthEnd;
  sizes.heightStart = defaults.heightStart;
  sizes.heightEnd = defaults.heightEnd;

  GLUI_Panel* normal = SizePanelGlui->add_panel("Normal Nodes", GLUI_PANEL_EMBOSSED);
  AddSizeBlock(normal, "Width", kWidthGrow, kWidthShrink, &sizes.widthStart, kNormalSizeChanged,
               &sizes.widthEnd, kNormalSizeChanged);
  SizePanelGlui->add_column_to_panel(normal, true);
  AddSizeBlock(normal, "Height", kHeightGrow, kHeightShrink, &sizes.heightStart, kNormalSizeChanged,
               &sizes.heightEnd, kNormalSizeChanged);

  CollisionFactors& factors = AppState().collisions.factors;
  GLUI_Panel* collision = SizePanelGlui->add_panel("Collision Nodes", GLUI_PANEL_EMBOSSED);
  AddSizeBlock(collision, "Width", kCollisionWidthGrow, kCollisionWidthShrink, &factors.widthStart,
               kCollisionStartChanged, &factors.widthEnd, kEndFactorChanged);
  SizePanelGlui->add_column_to_panel(collision, true);
  AddSizeBlock(collision, "Height", kCollisionHeightGrow, kCollisionHeightShrink,
               &factors.heightStart, kCollisionStartChanged, &factors.heightEnd, kEndFactorChanged);
}

// The collision buttons move the start and end factors apart by `step`.
// They resize the stroke but do not re-run the crossing check, so the
// resize undoes the stroke's earlier deflection.
void ShiftFactors(float& start, float& end, float step) {
  start += step;
  end -= step;
  ResizeSelectedStroke();
}

}  // namespace

void CreateSizePanel() {
  WindowPlace& place = AppState().windows.sizePanel;
  CreatePanelWindow(kTitle, place);
  glutDisplayFunc(DisplaySizePanel);
  glutMouseFunc(IgnoreMouse);

  SizePanelGlui = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Master.set_glutReshapeFunc(ReshapeSizePanel);

  glutSetWindow(place.id);
  LoadAllMaps(AppState().maps);
  // The filtered image is otherwise uploaded only in the main and Filter
  // windows; this window's context needs its own copy for the preview.
  UploadImageTexture(FilteredImage, TEX_FILTERED);

  BuildControls();
  glutSetWindow(place.id);
  AttachHideMenu(OnSizePanelMenu);

  SizePanelGlui->set_main_gfx_window(AppState().windows.main.id);
  HideSizePanel();
}

void ShowSizePanel() { ShowPanelWindow(AppState().windows.sizePanel.id); }
void HideSizePanel() { HidePanelWindow(AppState().windows.sizePanel.id); }

void OnSizePanelControl(int id) {
  if (!HasSelectedStroke() || id > kCollisionHeightShrink) return;
  CollisionFactors& factors = AppState().collisions.factors;
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
      ShiftFactors(factors.widthStart, factors.widthEnd,
                   id == kCollisionWidthGrow ? kSizeStep : -kSizeStep);
      break;
    case kCollisionHeightGrow:
    case kCollisionHeightShrink:
      ShiftFactors(factors.heightStart, factors.heightEnd,
                   id == kCollisionHeightGrow ? kSizeStep : -kSizeStep);
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
  UploadImageTexture(FilteredImage, TEX_FILTERED);
  glutPostRedisplay();
}
