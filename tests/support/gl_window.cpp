#include "tests/support/gl_window.h"

#include <GL/freeglut.h>

namespace {
int Window = 0;
void DisplayNothing() {}
}  // namespace

int EnsureHiddenGlWindow(int width, int height) {
  if (Window == 0) {
    int argc = 1;
    char name[] = "kelvra_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    Window = glutCreateWindow("kelvra tests");
    glutDisplayFunc(DisplayNothing);
    glutHideWindow();
  }
  glutSetWindow(Window);
  return Window;
}
