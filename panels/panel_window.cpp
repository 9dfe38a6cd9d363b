#include "panels/panel_window.h"

#include <GL/freeglut.h>

#include "actions/actions.h"
#include "image/pixel_store.h"
#include "image/rgba_picture.h"

void CreatePanelWindow(const char* title, WindowPlace& place) {
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(place.width, place.height);
  glutInitWindowPosition(place.x, place.y);
  place.id = glutCreateWindow(title);
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

void DrawTexturedQuad(unsigned int texture, float x0, float y0, float x1, float y1, float s0,
                      float t0, float s1, float t1) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(s0, t0);
  glVertex3f(x0, y0, 0);
  glTexCoord2f(s1, t0);
  glVertex3f(x1, y0, 0);
  glTexCoord2f(s0, t1);
  glVertex3f(x0, y1, 0);
  glTexCoord2f(s1, t1);
  glVertex3f(x1, y1, 0);
  glEnd();
}

void IgnoreMouse(int, int, int, int) {}
void IgnoreKeyboard(unsigned char, int, int) {}
void IgnoreSpecialKey(int, int, int) {}

void OnSettingControl(int) { SettingChanged(); }

void DrawPictureAtTop(const RgbaPicture& picture, int topMargin) {
  glClearColor(200 / 255.0f, 200 / 255.0f, 200 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (picture.pixels.empty()) return;
  const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Rows top first: drawn downwards from the top of the area.
  glRasterPos2i((width - picture.width) / 2, height - topMargin);
  glPixelZoom(1, -1);
  const PixelStoreScope tightRows;
  glDrawPixels(picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, picture.pixels.data());
  glPixelZoom(1, 1);
}
