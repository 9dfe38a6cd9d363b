#include "stroke/drawn_form.h"

#include <cmath>

#include "stroke/settings.h"

const Mesh* ShownMesh(const Stroke& stroke) {
  if (stroke.deleted != 0 || stroke.renderType != kRenderMesh) return nullptr;
  return stroke.subdivision.Shown();
}

bool ShowsParticles(const Stroke& stroke) {
  return stroke.deleted == 0 && stroke.renderType == kRenderParticles;
}

bool ParticleHasArea(const ParticleSystem& particles, std::size_t index) {
  const float size = particles.sizes[index];
  return size != 0.0f && std::isfinite(size);
}

ParticleQuad QuadOfParticle(const ParticleSystem& particles, std::size_t index) {
  const Vec4& c = particles.positions[index];
  const float h = particles.sizes[index] + particles.sizes[index];
  // Strip order: (+h, +h), (−h, +h), (+h, −h), (−h, −h).
  static const float kSigns[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  static const float kTexCoords[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
  ParticleQuad quad;
  for (int k = 0; k < 4; ++k) {
    quad.corner[k][0] = c.x + kSigns[k][0] * h;
    quad.corner[k][1] = c.y + kSigns[k][1] * h;
    quad.corner[k][2] = c.z;
    quad.texCoord[k][0] = kTexCoords[k][0];
    quad.texCoord[k][1] = kTexCoords[k][1];
  }
  return quad;
}
