#include "app/view.h"

#include <GL/freeglut.h>

#include "app/redisplay.h"
#include "camera/camera.h"
#include "glui/glui.h"
#include "render/kept_picture.h"
#include "state/redraw.h"
#include "state/state.h"

void OnDisplay() {
  const SceneView view = CurrentMainSceneView();
  NoteMainViewDrawn(view);
  ApplicationState& state = AppState();
  glLoadIdentity();
  state.camera.LookAt();
  glGetDoublev(GL_MODELVIEW_MATRIX, state.views.modelView);
  state.keptPicture.DrawFrame(view);
  if (!state.notice.text.empty()) GLUI_Master.draw_notice(state.notice.text);
  UpdateLight();
  glutSwapBuffers();
}

void UpdateLight() {
  // Given after the scene is drawn, the position lights the next frame.
  const Light& light = AppState().light;
  glMultMatrixf(light.rotation);
  glLightfv(GL_LIGHT0, GL_POSITION, light.position);
}

namespace {

// Panels are laid out for a fixed size; a window manager resizing them along
// with the main view gets them back.
void RestorePanelSize(const WindowPlace& panel) {
  if (panel.id == 0) return;
  glutSetWindow(panel.id);
  glutReshapeWindow(panel.width, panel.height);
  glutPostRedisplay();
}

}  // namespace

void OnReshape(int width, int height) {
  WindowResized(Picture::kMain);
  ApplicationState& state = AppState();
  if (width == 0) width = 1;
  if (height == 0) height = 1;
  WindowPlace& main = state.windows.main;
  main.width = state.camera.width = width;
  main.height = state.camera.height = height;

  glViewport(0, 0, width, height);
  state.camera.LoadProjection(state.views.projection);

  RestorePanelSize(state.windows.cameraPanel);
  RestorePanelSize(state.windows.strokePanel);
  RestorePanelSize(state.windows.filterPanel);
  if (main.id == 0) return;
  glutSetWindow(main.id);
  glutReshapeWindow(main.width, main.height);
  glutPostRedisplay();
}
