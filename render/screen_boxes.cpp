#include "render/screen_boxes.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Pixels a drawn thing may reach past its vertices: half the largest point
// (5 pixels: the nodes of the stroke being painted, meshes drawn as
// points), a line's width, and a pixel to spare for rounding.
constexpr double kMarginPixels = 4;

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

namespace {

struct GlMatrices {
  double modelView[16], projection[16];
  int viewport[4];
  GlMatrices() {
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
  }
};

}  // namespace

ScreenProjection::ScreenProjection() {
  const GlMatrices current;
  *this = ScreenProjection(current.modelView, current.projection, current.viewport);
}

ScreenProjection::ScreenProjection(const double* modelView, const double* projection,
                                   const int* viewport) {
  std::copy(viewport, viewport + 4, viewport_);
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

BoxSides::BoxSides(const ScreenProjection& projection, const ScreenBox& box) {
  const double* m = projection.matrix_;
  const int* viewport = projection.viewport_;
  // A window coordinate u of the box's edge, as the clip coordinate ratio it
  // takes on axis `axis` (0 x, 1 y): u = origin + (c / w + 1) / 2 · size.
  auto ratio = [&](double u, int axis) { return 2 * (u - viewport[axis]) / viewport[axis + 2] - 1; };
  const double edges[4] = {ratio(box.x0 - kMarginPixels, 0), ratio(box.x1 + kMarginPixels, 0),
                           ratio(box.y0 - kMarginPixels, 1), ratio(box.y1 + kMarginPixels, 1)};
  for (int side = 0; side < 4; ++side) {
    const int axis = side / 2;
    // Beyond the low edge: c − e·w < 0; beyond the high edge: e·w − c < 0.
    const double sign = side % 2 == 0 ? 1 : -1;
    for (int k = 0; k < 4; ++k)
      planes_[side][k] = sign * (m[k * 4 + axis] - edges[side] * m[k * 4 + 3]);
  }
}

bool BoxSides::AllBeyond(const Vec4& a, const Vec4& b, const Vec4& c) const {
  for (const double* plane : planes_) {
    auto beyond = [plane](const Vec4& p) {
      return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3] < 0;
    };
    if (beyond(a) && beyond(b) && beyond(c)) return true;
  }
  return false;
}

ConfinedPass StrokesReaching(const ScreenProjection& projection, const ScreenBox& box,
                             const Canvas& canvas) {
  ConfinedPass pass{&projection, box, {}};
  for (int slot = 0; slot < canvas.count; ++slot) {
    const Stroke& stroke = canvas.strokes[slot];
    if (!stroke.deleted && pass.Reaches(stroke.reach.whole)) pass.slots.push_back(slot);
  }
  return pass;
}
