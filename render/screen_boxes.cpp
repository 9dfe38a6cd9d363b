#include "render/screen_boxes.h"

#include <GL/gl.h>

#include <algorithm>
#include <unordered_map>

#include "stroke/drawn_form.h"

namespace {

// Pixels a drawn thing may reach past its vertices: half the largest point
// (5 pixels: the nodes of the stroke being painted, meshes drawn as
// points), a line's width, and a pixel to spare for rounding.
constexpr double kMarginPixels = 4;

SceneBox BoxOfMesh(const Mesh& mesh) {
  SceneBox box;
  for (int v = 0; v < mesh.vertexCount; ++v)
    box.Add(mesh.positions[v].x, mesh.positions[v].y, mesh.positions[v].z);
  return box;
}

// Meshes are named by their content, so a box found once serves until the
// mesh is made anew.
SceneBox CachedBoxOfMesh(const Mesh& mesh) {
  static std::unordered_map<std::uint64_t, SceneBox> boxes;
  if (mesh.id == 0) return BoxOfMesh(mesh);
  if (boxes.size() > 4 * static_cast<std::size_t>(kStrokeCapacity)) boxes.clear();
  auto found = boxes.find(mesh.id);
  if (found == boxes.end()) found = boxes.emplace(mesh.id, BoxOfMesh(mesh)).first;
  return found->second;
}

}  // namespace

void ScreenBox::Add(double x, double y) {
  x0 = std::min(x0, x);
  y0 = std::min(y0, y);
  x1 = std::max(x1, x);
  y1 = std::max(y1, y);
}

bool ScreenBox::Meets(const ScreenBox& o) const {
  return !Empty() && !o.Empty() && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
}

void SceneBox::Add(float x, float y, float z) {
  const float p[3] = {x, y, z};
  for (int k = 0; k < 3; ++k) {
    lo[k] = std::min(lo[k], p[k]);
    hi[k] = std::max(hi[k], p[k]);
  }
}

void SceneBox::Add(const SceneBox& o) {
  if (o.Empty()) return;
  Add(o.lo[0], o.lo[1], o.lo[2]);
  Add(o.hi[0], o.hi[1], o.hi[2]);
}

SceneBox BoxOfStroke(const Stroke& stroke) {
  SceneBox box;
  if (stroke.subdivision.baseMesh) box.Add(CachedBoxOfMesh(*stroke.subdivision.baseMesh));
  if (stroke.subdivision.resultMesh) box.Add(CachedBoxOfMesh(*stroke.subdivision.resultMesh));
  const ParticleSystem& particles = stroke.particles;
  for (std::size_t i = 0; i < particles.positions.size() && i < particles.sizes.size(); ++i) {
    const ParticleQuad quad = QuadOfParticle(particles, i);
    for (const float* corner : quad.corner) box.Add(corner[0], corner[1], corner[2]);
  }
  for (const StrokeNode& node : stroke.path)
    box.Add(node.position.x, node.position.y, node.position.z);
  for (const Vec4& corner : stroke.bounds) box.Add(corner.x, corner.y, 0.01f);
  return box;
}

ScreenProjection::ScreenProjection() {
  double modelView[16], projection[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport_);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelView[c * 4 + k];
      matrix_[c * 4 + r] = sum;
    }
}

ScreenBox ScreenProjection::Of(const SceneBox& box) const {
  ScreenBox screen;
  if (box.Empty()) return screen;
  for (int corner = 0; corner < 8; ++corner) {
    const double p[3] = {corner & 1 ? box.hi[0] : box.lo[0], corner & 2 ? box.hi[1] : box.lo[1],
                         corner & 4 ? box.hi[2] : box.lo[2]};
    double clip[4];
    for (int r = 0; r < 4; ++r)
      clip[r] = matrix_[r] * p[0] + matrix_[4 + r] * p[1] + matrix_[8 + r] * p[2] + matrix_[12 + r];
    if (!(clip[3] > 1e-9)) {
      screen.Add(-1e9, -1e9);
      screen.Add(1e9, 1e9);
      return screen;
    }
    screen.Add(viewport_[0] + (clip[0] / clip[3] + 1) * 0.5 * viewport_[2],
               viewport_[1] + (clip[1] / clip[3] + 1) * 0.5 * viewport_[3]);
  }
  screen.x0 -= kMarginPixels;
  screen.y0 -= kMarginPixels;
  screen.x1 += kMarginPixels;
  screen.y1 += kMarginPixels;
  return screen;
}

StrokeFilter StrokesReaching(const ScreenProjection& projection, const ScreenBox& box) {
  return [&projection, box](const Stroke& stroke) {
    return projection.Of(BoxOfStroke(stroke)).Meets(box);
  };
}
