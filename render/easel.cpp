#include "render/easel.h"

#include <GL/gl.h>

#include "image/textures.h"

namespace {

// A square as a four-vertex strip, texture coordinate then vertex, from
// the corner (−, −) (or (+, +) when turned) across `repeat` copies of its
// map; `place` puts the corner (u, v) of the unit square into the scene.
template <typename Place>
void TexturedSquare(float repeat, bool turned, Place place) {
  const float sign = turned ? -1.0f : 1.0f;
  const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i < 4; ++i) {
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(i % 2 == 0 ? 0.0f : repeat, i < 2 ? 0.0f : repeat);
    place(sign * corners[i][0], sign * corners[i][1]);
  }
  glEnd();
}

void Leg(float x, float y, float z) {
  glVertex3f(0.0f, -1.0f, -0.1f);
  glVertex3f(x, y, z);
}

}  // namespace

void DrawEasel(const EaselLook& look) {
  glColor3f(1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, TEX_PAPER);
  glEnable(GL_TEXTURE_2D);
  TexturedSquare(look.paperRepeat, look.turned,
                 [&look](float u, float v) { glVertex3f(u, v, look.paperZ); });
  glDisable(GL_TEXTURE_2D);

  glColor3f(0.9f, 0.8f, 0.3f);
  glLineWidth(look.legWidth);
  glBegin(GL_LINES);
  glVertex3f(0.0f, 1.3f, -0.1f);
  glVertex3f(0.0f, -1.0f, -0.1f);
  Leg(-1.0f, -2.5f, -0.1f);
  Leg(1.0f, -2.5f, -0.1f);
  Leg(0.0f, -2.5f, -1.1f);
  glEnd();
  glLineWidth(1.0f);

  glColor3f(1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, TEX_GRID);
  glEnable(GL_TEXTURE_2D);
  const float half = look.floorHalfSide;
  TexturedSquare(10.0f, look.turned,
                 [half](float u, float v) { glVertex3f(u * half, -2.5f, v * half); });
  glDisable(GL_TEXTURE_2D);
}
