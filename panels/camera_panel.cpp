#include "panels/camera_panel.h"

#include <GL/freeglut.h>

#include <cmath>

#include "actions/actions.h"
#include "camera/camera.h"
#include "camera/environment.h"
#include "glui/glui.h"
#include "image/textures.h"
#include "panels/matrix_inverse.h"
#include "render/easel.h"
#include "panels/painting_window.h"
#include "panels/panel_window.h"
#include "state/redraw.h"
#include "state/state.h"

namespace {

constexpr const char* kTitle = "Camera Control Panel:";

enum CameraControl { kDeleteSelected = 1, kDeleteAll = 2, kLoad = 3, kSave = 4 };
constexpr int kToggleId = 1;

void BuildControls(GLUI* glui) {
  GLUI_Panel* lightPanel = glui->add_panel("", GLUI_PANEL_EMBOSSED);
  lightPanel->set_alignment(GLUI_ALIGN_CENTER);
  GLUI_Rotation* light =
      glui->add_rotation_to_panel(lightPanel, "Light 1", AppState().light.rotation, -1,
                                  OnSettingControl);
  light->set_spin(0.5f);
  glui->add_column(true);
  glui->add_separator();
  DisplayToggles& display = AppState().display;
  glui->add_checkbox("Light ON/OFF", &display.lightOn, kToggleId, OnSettingControl);
  glui->add_checkbox("Paper ON/OFF", &display.paperOn, kToggleId, OnSettingControl);
  glui->add_checkbox("Axes ON/OFF", &display.axesOn, kToggleId, OnSettingControl);
  glui->add_checkbox("Cursor ON/OFF", &display.cursorOn, kToggleId, OnSettingControl);
  glui->add_separator();
  glui->add_column(true);
  glui->add_button("Delete Selected", kDeleteSelected, OnCameraPanelControl);
  glui->add_button("Delete All", kDeleteAll, OnCameraPanelControl);
  glui->add_separator();
  glui->add_button("Load", kLoad, OnCameraPanelControl);
  glui->add_button("Save", kSave, OnCameraPanelControl);
}

void DrawText(float x, float y, float z, const char* text) {
  glRasterPos3f(x, y, z);
  for (const char* c = text; *c; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, *c);
}

// A line from `tip` back to each of four points around the shaft.
void DrawArrowhead(const float tip[3], const float barbs[4][3]) {
  glBegin(GL_LINES);
  for (int i = 0; i < 4; ++i) {
    glVertex3fv(tip);
    glVertex3fv(barbs[i]);
  }
  glEnd();
}

void DrawAxesGlyph() {
  glColor3ub(255, 0, 0);
  for (int axis = 0; axis < 3; ++axis) {
    const int u = (axis + 1) % 3, w = (axis + 2) % 3;
    float tip[3] = {0, 0, 0};
    tip[axis] = 1.0f;
    glBegin(GL_LINE_STRIP);
    glVertex3f(0, 0, 0);
    glVertex3fv(tip);
    glEnd();
    float barbs[4][3] = {};
    for (int i = 0; i < 4; ++i) barbs[i][axis] = 0.75f;
    barbs[0][u] = 0.25f;
    barbs[1][u] = -0.25f;
    barbs[2][w] = 0.25f;
    barbs[3][w] = -0.25f;
    DrawArrowhead(tip, barbs);
  }
  glColor3ub(0, 0, 0);
  DrawText(1.1f, 0, 0, "X");
  DrawText(0, 1.1f, 0, "Y");
  DrawText(0, 0, 1.1f, "Z");
}

void DrawLightDirection(const Light& light) {
  glPushMatrix();
  glMultMatrixf(light.rotation);
  glLightfv(GL_LIGHT0, GL_POSITION, light.position);
  glColor3ub(255, 255, 0);
  glLineWidth(2.0f);
  glBegin(GL_LINE_STRIP);
  glVertex3f(0, 0, 0);
  glVertex3f(-light.position[0], -light.position[1], -light.position[2]);
  glEnd();
  glLineWidth(1.0f);
  glPopMatrix();
}

// The camera's eye at the origin looking down −z, the arrow as long as the
// distance to its target.
void DrawCameraGlyph(float length) {
  glPushMatrix();
  glColor3ub(0, 0, 255);
  glBegin(GL_LINE_STRIP);
  glVertex3f(0, 0, 0);
  glVertex3f(0, 0, -length);
  glEnd();
  const float tip[3] = {0, 0, -length};
  const float barbs[4][3] = {{0.1f, 0, -0.9f * length},
                             {-0.1f, 0, -0.9f * length},
                             {0, 0.1f, -0.9f * length},
                             {0, -0.1f, -0.9f * length}};
  DrawArrowhead(tip, barbs);
  glColor3ub(0, 0, 0);
  DrawText(0, 0, -0.8f * length, "e");
  glScalef(0.4f, 0.4f, 0.4f);
  DrawAxesGlyph();
  glPopMatrix();
}

// The unit cube of device coordinates, drawn under the inverse projection,
// is the main camera's frustum.
void DrawFrustum() {
  glColor3f(0.2f, 0.2f, 0.2f);
  glBegin(GL_QUADS);
  glVertex3f(-1, -1, 1);
  glVertex3f(1, -1, 1);
  glVertex3f(1, 1, 1);
  glVertex3f(-1, 1, 1);
  glEnd();
  glColor3ub(128, 196, 128);
  glBegin(GL_LINES);
  for (float x : {-1.0f, 1.0f}) {
    for (float y : {-1.0f, 1.0f}) {
      glVertex3f(x, y, -1);
      glVertex3f(x, y, 1);
    }
  }
  glEnd();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.2f, 0.2f, 0.4f, 0.5f);
  glBegin(GL_QUADS);
  glVertex3f(-1, -1, -1);
  glVertex3f(1, -1, -1);
  glVertex3f(1, 1, -1);
  glVertex3f(-1, 1, -1);
  glEnd();
  glDisable(GL_BLEND);
}

}  // namespace

void CreateCameraPanel() {
  WindowPlace& place = AppState().windows.cameraPanel;
  CreatePanelWindow(kTitle, place);
  GLUI* glui = GLUI_Master.create_glui_subwindow(place.id, GLUI_SUBWINDOW_BOTTOM);
  GLUI_Master.set_glutKeyboardFunc(IgnoreKeyboard);
  GLUI_Master.set_glutSpecialFunc(IgnoreSpecialKey);
  GLUI_Master.set_glutMouseFunc(IgnoreMouse);
  GLUI_Master.set_glutReshapeFunc(ReshapeCameraPanel);
  glutDisplayFunc(DisplayCameraPanel);

  BuildControls(glui);

  glutSetWindow(place.id);
  AttachHideMenu(OnCameraPanelMenu);
  InitRenderState();
  InitLight(AppState().light);
  LoadAllMaps(AppState().maps);
  glui->set_main_gfx_window(place.id);
}

void ShowCameraPanel() { ShowPanelWindow(AppState().windows.cameraPanel.id); }
void HideCameraPanel() { HidePanelWindow(AppState().windows.cameraPanel.id); }

void OnCameraPanelControl(int id) {
  switch (id) {
    case kDeleteSelected:
      // The stroke keeps its slot (numbers after it stay) and the
      // selection stays as it is.
      DeleteSelectedStroke();
      break;
    case kDeleteAll:
      DeleteAllStrokes();
      break;
    case kLoad:
    case kSave:
      // "Load" and "Save" show the window of paintings, which opens and
      // saves them.
      ShowPaintingWindow(id == kLoad ? PaintingWindowPurpose::kOpen : PaintingWindowPurpose::kSave);
      break;
    default:
      break;
  }
}

void OnCameraPanelMenu(int value) {
  if (value == kHideMenuValue) HideCameraPanel();
}

std::string CameraPanelRedrawKey() {
  const ApplicationState& state = AppState();
  RedrawKey key;
  key.Add(static_cast<const CameraPose&>(state.camera));
  key.Add(state.camera.width).Add(state.camera.height).Add(state.display.lightOn);
  key.Add(state.light.rotation).Add(state.light.position);
  key.Add(state.views.modelView).Add(state.views.projection);
  key.Add(state.windows.cameraPanel.width).Add(state.windows.cameraPanel.height);
  return key.Done();
}

void DisplayCameraPanel() {
  NotePanelDrawn(Picture::kCameraPanel, CameraPanelRedrawKey());
  const ApplicationState& state = AppState();
  const Vec4 eye = state.camera.eye;
  const Vec4 target = state.camera.target;
  const float dx = target.x - eye.x, dy = target.y - eye.y, dz = target.z - eye.z;
  const float length = std::sqrt(dx * dx + dy * dy + dz * dz);

  double inverseModelView[16];
  const bool cameraPlaced = InvertMatrix4(state.views.modelView, inverseModelView);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0.8f, 0.8f, 0.8f, 1.0f);
  if (state.display.lightOn) DrawLightDirection(state.light);
  DrawEasel(kCameraPanelEasel);

  // A matrix that cannot be inverted has no camera to show: the glyph (and
  // with it the frustum) is left out rather than drawn from garbage.
  if (cameraPlaced) {
    glPushMatrix();
    glMultMatrixd(inverseModelView);
    DrawCameraGlyph(length);
    double inverseProjection[16];
    if (InvertMatrix4(state.views.projection, inverseProjection)) {
      glMultMatrixd(inverseProjection);
      DrawFrustum();
    }
    glPopMatrix();
  }
  glutSwapBuffers();
}

void ReshapeCameraPanel(int width, int height) {
  WindowResized(Picture::kCameraPanel);
  WindowPlace& place = AppState().windows.cameraPanel;
  place.width = StoredExtent(width);
  place.height = StoredExtent(height);
  int x = 0, y = 0, w = 1, h = 1;
  GLUI_Master.get_viewport_area(&x, &y, &w, &h);
  glViewport(x, y, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // The aspect ratio is the whole window's, so a wide window stretches the
  // view of the scene.
  gluPerspective(AppState().camera.fovy, static_cast<double>(place.width) / place.height, 1.0,
                 256.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -5);
  glRotatef(-45, 0, 1, 0);
  glClearColor(1, 1, 1, 1);
  glEnable(GL_DEPTH_TEST);
}
