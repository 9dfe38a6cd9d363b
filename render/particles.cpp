#include "render/particles.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/state.h"
#include "camera/progress.h"
#include "common/random.h"

void AddParticle(ParticleSystem& particles, Vec4 centre, Vec4 colour, float size) {
  particles.positions.push_back(centre);
  particles.colours.push_back(colour);
  particles.sizes.push_back(size);
}

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

void CompileParticles(ParticleSystem& particles) {
  // A rebuilt stroke's old list is freed so names do not pile up.
  if (particles.displayList != 0) glDeleteLists(particles.displayList, 1);
  particles.displayList = glGenLists(1);
  const std::size_t n = particles.positions.size();
  std::printf("\t#particles: %zu\n", n);
  std::fflush(stdout);
  // Without a list name (none left, or no context) the particles are
  // dropped: the stroke then draws nothing as particles rather than
  // recording into a list that does not exist.
  if (particles.displayList != 0) {
    glNewList(particles.displayList, GL_COMPILE);
    for (std::size_t i = 0; i < n; ++i) {
      DrawParticle(particles.spriteTexture, particles.positions[i], particles.colours[i],
                   particles.sizes[i]);
      ReportProgress(static_cast<float>(i), static_cast<float>(n));
    }
    glEndList();
  }
  particles.positions.clear();
  particles.colours.clear();
  particles.sizes.clear();
}

void GenerateParticles(Stroke& stroke) {
  if (!ShowParticles) return;
  const float count = static_cast<float>(stroke.path.size());
  for (float i = 0.0f; i < count; i += 1.0f) {
    const StrokeNode& point = stroke.path[static_cast<int>(i)];
    for (int p = 0; p < PARTICLES_PER_POINT; ++p) {
      const float a = PARTICLE_SCATTER * point.position.x;
      const float x = point.position.x + (2.0f * RandomUnit() - 1.0f) * a;
      const float b = PARTICLE_SCATTER * point.position.y;
      const float y = point.position.y + (2.0f * RandomUnit() - 1.0f) * b;
      const float w = point.width;
      const float size = w + (2.0f * RandomUnit() - 1.0f) * 0.5f * w;
      AddParticle(stroke.particles, Vec4(x, y, 0.0f, 0.0f), StartColour, size);
    }
  }
  std::printf("\tBuilding Particles...\n");
  std::fflush(stdout);
  CompileParticles(stroke.particles);
}
