#include "export/relief.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export/drawn.h"

namespace {

// Raises the samples that triangle abc covers to its height there.
void RaiseUnderTriangle(const Vec4& a, const Vec4& b, const Vec4& c, HeightField& field) {
  const double area =
      (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
  // Seen from above a vertical or degenerate triangle covers no area; its
  // neighbours carry the surface.
  if (!(std::abs(area) > 0.0) || !std::isfinite(area)) return;
  const double minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
  const double minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
  const float minZ = std::min({a.z, b.z, c.z}), maxZ = std::max({a.z, b.z, c.z});
  if (!std::isfinite(minZ) || !std::isfinite(maxZ)) return;

  // Grid units: column = (x + 1) × scale, row = (1 − y) × scale. The small
  // margin lets samples that lie exactly on the box's edge in.
  const double scale = (field.size - 1) / 2.0;
  const double margin = 1e-9;
  const double last = field.size - 1;
  const double c0 = std::max(0.0, std::ceil((minX + 1.0) * scale - margin));
  const double c1 = std::min(last, std::floor((maxX + 1.0) * scale + margin));
  const double r0 = std::max(0.0, std::ceil((1.0 - maxY) * scale - margin));
  const double r1 = std::min(last, std::floor((1.0 - minY) * scale + margin));
  if (c0 > c1 || r0 > r1) return;

  // Barycentric weights from the signed areas of the sub-triangles; a
  // sample on an edge (weight 0, give or take rounding) is covered, so
  // the seams between a mesh's triangles leave no gaps.
  const double tolerance = 1e-7;
  for (int row = static_cast<int>(r0); row <= static_cast<int>(r1); ++row) {
    const double y = 1.0 - row / scale;
    float* line = &field.heights[static_cast<std::size_t>(row) * field.size];
    for (int column = static_cast<int>(c0); column <= static_cast<int>(c1); ++column) {
      const double x = column / scale - 1.0;
      const double wa = ((b.x - x) * (c.y - y) - (b.y - y) * (c.x - x)) / area;
      const double wb = ((c.x - x) * (a.y - y) - (c.y - y) * (a.x - x)) / area;
      const double wc = 1.0 - wa - wb;
      if (wa < -tolerance || wb < -tolerance || wc < -tolerance) continue;
      const float z = std::clamp(static_cast<float>(wa * a.z + wb * b.z + wc * c.z), minZ, maxZ);
      if (z > line[column]) line[column] = z;
    }
  }
}

}  // namespace

HeightField SampleHeightField(const Canvas& canvas, int size) {
  HeightField field;
  field.size = std::max(size, 2);
  const float uncovered = -std::numeric_limits<float>::infinity();
  field.heights.assign(static_cast<std::size_t>(field.size) * field.size, uncovered);
  for (int i = 0; i < CommittedCount(canvas); ++i) {
    const Mesh* mesh = DrawnMesh(canvas.strokes[i]);
    if (!mesh) continue;
    for (int f = 0; f < mesh->faceCount; ++f) {
      const int* v = mesh->faces[f].vertex;
      RaiseUnderTriangle(mesh->positions[v[0]], mesh->positions[v[1]], mesh->positions[v[2]],
                         field);
    }
  }
  field.lowest = std::numeric_limits<float>::max();
  field.highest = std::numeric_limits<float>::lowest();
  for (float& h : field.heights) {
    if (h == uncovered) h = 0.0f;
    field.lowest = std::min(field.lowest, h);
    field.highest = std::max(field.highest, h);
  }
  return field;
}

std::vector<std::uint16_t> HeightMapSamples(const HeightField& field) {
  std::vector<std::uint16_t> samples(field.heights.size(), 0);
  const double range = double(field.highest) - field.lowest;
  if (!(range > 0.0)) return samples;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double level = (field.heights[i] - double(field.lowest)) / range * 65535.0;
    samples[i] = static_cast<std::uint16_t>(std::clamp(std::lround(level), 0L, 65535L));
  }
  return samples;
}

float ReliefBaseMm(float sizeMm) { return std::max(1.0f, 0.02f * sizeMm); }

ReliefSolid BuildReliefSolid(const HeightField& field, float sizeMm) {
  ReliefSolid solid;
  const int n = field.size;
  const double step = double(sizeMm) / (n - 1);
  const double base = ReliefBaseMm(sizeMm);
  const double zScale = sizeMm / 2.0;
  auto add = [&solid](double x, double y, double z) {
    solid.positions.push_back(static_cast<float>(x));
    solid.positions.push_back(static_cast<float>(y));
    solid.positions.push_back(static_cast<float>(z));
  };
  auto triangle = [&solid](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    solid.triangles.push_back(a);
    solid.triangles.push_back(b);
    solid.triangles.push_back(c);
  };
  const std::uint32_t ring = 4u * static_cast<std::uint32_t>(n - 1);
  const std::size_t cells = static_cast<std::size_t>(n - 1) * static_cast<std::size_t>(n - 1);
  solid.positions.reserve((static_cast<std::size_t>(n) * n + ring + 1) * 3);
  solid.triangles.reserve((2 * cells + 3 * static_cast<std::size_t>(ring)) * 3);

  // Top: sample (c, r) is vertex r × n + c. Row r lies at Y = (n − 1 − r) ×
  // step, so rows run downwards in Y, as the picture's rows do.
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      add(c * step, (n - 1 - r) * step, base + (double(field.At(c, r)) - field.lowest) * zScale);
  auto top = [n](int c, int r) { return static_cast<std::uint32_t>(r * n + c); };
  //   a ── b      row r
  //   │ ╲  │      both triangles counter-clockwise from above:
  //   d ── e      row r + 1      a d e and a e b
  for (int r = 0; r + 1 < n; ++r)
    for (int c = 0; c + 1 < n; ++c) {
      const std::uint32_t a = top(c, r), b = top(c + 1, r), d = top(c, r + 1),
                          e = top(c + 1, r + 1);
      triangle(a, d, e);
      triangle(a, e, b);
    }

  // The border of the top, counter-clockwise from above: down the left
  // edge, right along the bottom, up the right edge, left along the top.
  std::vector<std::uint32_t> border;
  border.reserve(ring);
  for (int r = 0; r < n - 1; ++r) border.push_back(top(0, r));
  for (int c = 0; c < n - 1; ++c) border.push_back(top(c, n - 1));
  for (int r = n - 1; r > 0; --r) border.push_back(top(n - 1, r));
  for (int c = n - 1; c > 0; --c) border.push_back(top(c, 0));

  // Walls: each border vertex gets a twin on Z = 0; each border edge t_k →
  // t_k+1 becomes a quad facing away from the centre.
  const auto firstFoot = static_cast<std::uint32_t>(solid.positions.size() / 3);
  for (std::uint32_t t : border) add(solid.positions[3 * t], solid.positions[3 * t + 1], 0.0);
  for (std::uint32_t k = 0; k < ring; ++k) {
    const std::uint32_t next = (k + 1) % ring;
    const std::uint32_t t0 = border[k], t1 = border[next];
    const std::uint32_t b0 = firstFoot + k, b1 = firstFoot + next;
    triangle(t0, b0, b1);
    triangle(t0, b1, t1);
  }

  // Bottom: a fan around the centre, facing down.
  const auto centre = static_cast<std::uint32_t>(solid.positions.size() / 3);
  add(sizeMm / 2.0, sizeMm / 2.0, 0.0);
  for (std::uint32_t k = 0; k < ring; ++k)
    triangle(centre, firstFoot + (k + 1) % ring, firstFoot + k);
  return solid;
}
