#include "panels/panel_window.h"

#include <GL/freeglut.h>

int CreatePanelWindow(const char* title, int width, int height, int x, int y) {
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(width, height);
  glutInitWindowPosition(x, y);
  return glutCreateWindow(title);
}

void ShowPanelWindow(int window) {
  if (window == 0) return;
  glutSetWindow(window);
  glutShowWindow();
}

void HidePanelWindow(int window) {
  if (window == 0) return;
  glutSetWindow(window);
  glutHideWindow();
}

void AttachHideMenu(void (*onMenu)(int)) {
  glutCreateMenu(onMenu);
  glutAddMenuEntry("", 0);
  glutAddMenuEntry("Hide", kHideMenuValue);
  glutAddMenuEntry("", 0);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}

int StoredExtent(int extent) { return extent > 0 ? extent : 1; }

void SetUnitSquareView(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0, 1, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void IgnoreMouse(int, int, int, int) {}
void IgnoreKeyboard(unsigned char, int, int) {}
void IgnoreSpecialKey(int, int, int) {}
