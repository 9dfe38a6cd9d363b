#include "render/particles.h"

#include <GL/gl.h>

void DrawParticle(unsigned int texture, const ParticleQuad& quad, const Vec4& colour) {
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  const float rgba[4] = {colour.x, colour.y, colour.z, colour.w};
  glColor4fv(rgba);
  glBegin(GL_TRIANGLE_STRIP);
  for (int k = 0; k < 4; ++k) {
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2fv(quad.texCoord[k]);
    glVertex3fv(quad.corner[k]);
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
    DrawParticle(particles.spriteTexture, QuadOfParticle(particles, i), particles.colours[i]);
  glEndList();
}
