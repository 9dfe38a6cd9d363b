#include "app/view.h"

#include <GL/freeglut.h>

#include "app/redraw.h"
#include "app/state.h"
#include "camera/camera.h"
#include "render/scene.h"

void OnDisplay() {
  NoteDrawn(Picture::kMain);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  TheCamera.LookAt();
  glGetDoublev(GL_MODELVIEW_MATRIX, ModelViewMatrix);
  DrawScene(TheCanvas);
  UpdateLight();
  glutSwapBuffers();
}

void UpdateLight() {
  // Given after the scene is drawn, the position lights the next frame.
  glMultMatrixf(LightRotation);
  glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
}

namespace {

// Panels are laid out for a fixed size; a window manager resizing them along
// with the main view gets them back.
void RestorePanelSize(int window, int width, int height) {
  if (window == 0) return;
  glutSetWindow(window);
  glutReshapeWindow(width, height);
  glutPostRedisplay();
}

}  // namespace

void OnReshape(int width, int height) {
  WindowResized(Picture::kMain);
  if (width == 0) width = 1;
  if (height == 0) height = 1;
  MainWindowWidth = TheCamera.width = width;
  MainWindowHeight = TheCamera.height = height;

  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  TheCamera.ApplyProjection();
  glGetDoublev(GL_PROJECTION_MATRIX, ProjectionMatrix);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  RestorePanelSize(CameraPanelWindow, CameraPanelWidth, CameraPanelHeight);
  RestorePanelSize(StrokePanelWindow, StrokePanelWidth, StrokePanelHeight);
  RestorePanelSize(FilterPanelWindow, FilterPanelWidth, FilterPanelHeight);
  if (MainWindow == 0) return;
  glutSetWindow(MainWindow);
  glutReshapeWindow(MainWindowWidth, MainWindowHeight);
  glutPostRedisplay();
}
