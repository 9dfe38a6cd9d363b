#include "camera/environment.h"

#include <GL/gl.h>

void InitRenderState() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
}

void InitMaterial() {
  glEnable(GL_COLOR_MATERIAL);
  const GLfloat ambient[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat diffuse[4] = {0.4f, 0.4f, 0.4f, 1.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
}

void InitLight(const Light& light) {
  glEnable(GL_NORMALIZE);
  // Alpha 1: it has no effect on the lit colour, 1 is the neutral value.
  const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_POSITION, light.position);
  // The 0.5 ambient level is deliberately not applied: OpenGL's defaults
  // (0.2 grey scene ambient) keep the relief's shading contrast, which is
  // what makes strokes read as raised paint.
  glEnable(GL_LIGHT0);
}
