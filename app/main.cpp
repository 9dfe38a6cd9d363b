// The painter: everything is the shell's, then the GLUT main loop until Esc.

#include <GL/freeglut.h>

#include "app/shell.h"

int main(int argc, char** argv) {
  StartPainter(&argc, argv);
  glutMainLoop();
  return 0;
}
