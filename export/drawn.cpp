#include "export/drawn.h"

#include <algorithm>

const Mesh* DrawnMesh(const Stroke& stroke) {
  const Mesh* mesh = ShownMesh(stroke);
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
  if (!ShowsParticles(stroke) || particles.colours.size() < particles.positions.size() ||
      particles.sizes.size() < particles.positions.size())
    return false;
  for (std::size_t i = 0; i < particles.positions.size(); ++i)
    if (ParticleHasArea(particles, i)) return true;
  return false;
}

int CommittedCount(const Canvas& canvas) {
  return std::clamp(canvas.count, 0, static_cast<int>(canvas.strokes.size()));
}

bool HasDrawnStrokes(const Canvas& canvas) {
  for (int i = 0; i < CommittedCount(canvas); ++i)
    if (DrawnMesh(canvas.strokes[i]) || DrawsParticles(canvas.strokes[i])) return true;
  return false;
}
