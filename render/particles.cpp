#include "render/particles.h"

#include <GL/gl.h>

void DrawParticle(unsigned int texture, const Vec4& centre, const Vec4& colour, float size) {
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  const float h = size + size;
  const float rgba[4] = {colour.x, colour.y, colour.z, colour.w};
  glColor4fv(rgba);
  glBegin(GL_TRIANGLE_STRIP);
  const float corners[4][4] = {{1, 1, 1, 1}, {0, 1, -1, 1}, {1, 0, 1, -1}, {0, 0, -1, -1}};
  for (const auto& c : corners) {
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(c[0], c[1]);
    glVertex3f(centre.x + c[2] * h, centre.y + c[3] * h, centre.z);
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
}

void CompileParticleList(ParticleSystem& particles) {
  // A rebuilt stroke's old list is freed so names do not pile up.
  if (particles.displayList != 0) glDeleteLists(particles.displayList, 1);
  particles.displayList = glGenLists(1);
  if (particles.displayList == 0) return;
  glNewList(particles.displayList, GL_COMPILE);
  for (std::size_t i = 0; i < particles.positions.size(); ++i)
    DrawParticle(particles.spriteTexture, particles.positions[i], particles.colours[i],
                 particles.sizes[i]);
  glEndList();
}
