#include "export/drawn.h"

#include <algorithm>
#include <cmath>

#include "stroke/settings.h"

const Mesh* DrawnMesh(const Stroke& stroke) {
  if (stroke.deleted != 0 || stroke.renderType != kRenderMesh) return nullptr;
  const Mesh* mesh = stroke.subdivision.Shown();
  if (!mesh || mesh->faceCount <= 0 || mesh->vertexCount <= 0) return nullptr;
  const auto vertices = static_cast<std::size_t>(mesh->vertexCount);
  if (mesh->positions.size() < vertices || mesh->normals.size() < vertices ||
      mesh->colours.size() < vertices || mesh->texCoords.size() < vertices ||
      mesh->faces.size() < static_cast<std::size_t>(mesh->faceCount))
    return nullptr;
  for (int f = 0; f < mesh->faceCount; ++f)
    for (int v : mesh->faces[f].vertex)
      if (v < 0 || v >= mesh->vertexCount) return nullptr;
  return mesh;
}

bool DrawsParticles(const Stroke& stroke) {
  const ParticleSystem& particles = stroke.particles;
  if (stroke.deleted != 0 || stroke.renderType != kRenderParticles ||
      particles.colours.size() < particles.positions.size() ||
      particles.sizes.size() < particles.positions.size())
    return false;
  for (std::size_t i = 0; i < particles.positions.size(); ++i)
    if (ParticleHasArea(particles, i)) return true;
  return false;
}

bool ParticleHasArea(const ParticleSystem& particles, std::size_t index) {
  const float size = particles.sizes[index];
  return size != 0.0f && std::isfinite(size);
}

int CommittedCount(const Canvas& canvas) {
  return std::clamp(canvas.count, 0, static_cast<int>(canvas.strokes.size()));
}

bool HasDrawnStrokes(const Canvas& canvas) {
  for (int i = 0; i < CommittedCount(canvas); ++i)
    if (DrawnMesh(canvas.strokes[i]) || DrawsParticles(canvas.strokes[i])) return true;
  return false;
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
