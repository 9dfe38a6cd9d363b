#include "render/collisions.h"

#include <cstdio>

#include "app/state.h"
#include "camera/progress.h"
#include "stroke/mesh.h"

void ComputeBounds(Stroke& stroke) {
  const auto& mesh = stroke.subdivision.baseMesh;
  // A mesh without vertices has no extent to report: the bounds keep their
  // previous corners.
  if (!mesh || mesh->vertexCount == 0) return;
  float minX = mesh->positions[0].x, maxX = minX, minY = mesh->positions[0].y, maxY = minY;
  for (const Vec4& p : mesh->positions) {
    if (p.x == 0.0f || p.y == 0.0f || p.z == 0.0f) continue;
    if (p.x > maxX) maxX = p.x;
    if (p.y > maxY) maxY = p.y;
    if (p.x < minX) minX = p.x;
    if (p.y < minY) minY = p.y;
  }
  stroke.bounds[0].x = minX;
  stroke.bounds[0].y = minY;
  stroke.bounds[1].x = minX;
  stroke.bounds[1].y = maxY;
  stroke.bounds[2].x = maxX;
  stroke.bounds[2].y = maxY;
  stroke.bounds[3].x = maxX;
  stroke.bounds[3].y = minY;
}

bool SegmentCrossing(const Vec4& a, const Vec4& b, const Vec4& c, const Vec4& d, Vec4& p) {
  const double ax = a.x, ay = a.y, bx = b.x, by = b.y, cx = c.x, cy = c.y, dx = d.x, dy = d.y;
  const double denom = ax * (dy - cy) + bx * (cy - dy) + dx * (by - ay) + cx * (ay - by);
  if (denom == 0.0) return false;
  const double s = (ax * (dy - cy) + cx * (ay - dy) + dx * (cy - ay)) / denom;
  const double t = -(ax * (cy - by) + bx * (ay - cy) + cx * (by - ay)) / denom;
  p.x = static_cast<float>(ax + s * (bx - ax));
  p.y = static_cast<float>(ay + s * (by - ay));
  return s >= 0.0 && s <= 1.0 && t >= 0.0 && t <= 1.0;
}

void DeflectNode(StrokeNode& node, float height, float width, const Vec4& p, int mode) {
  if (node.locked) return;
  if (mode == 0) {
    node.position = Vec4(p.x, p.y, 0.0f, 0.0f);
    node.height = CollisionHeightStart * height + node.baseHeight;
    node.width = CollisionWidthStart * width + node.baseWidth;
  } else {
    node.height = node.baseHeight - CollisionHeightEnd * height;
    node.width = node.baseWidth - CollisionWidthEnd * width;
  }
  node.locked = 1;
}

namespace {

// Tests every segment of `under` against every segment of `over`, in path
// order, deflecting `over` at each crossing and re-meshing it at once.
void CollidePair(const Stroke& under, Stroke& over, Vec4& p) {
  const int underPoints = static_cast<int>(under.path.size());
  for (int a = 0; a + 1 < underPoints; ++a) {
    const int overPoints = static_cast<int>(over.path.size());
    if (overPoints < 2) return;
    const StrokeNode& a0 = under.path[a];
    const StrokeNode& a1 = under.path[a + 1];
    for (int b = 0; b + 1 < overPoints; ++b) {
      if (!SegmentCrossing(a0.position, a1.position, over.path[b].position,
                           over.path[b + 1].position, p))
        continue;
      if (b > 0) over.path[b - 1].locked = 1;
      DeflectNode(over.path[b], a0.height, a0.width, p, 0);
      if (b < overPoints - 2) DeflectNode(over.path[b + 1], a0.height, a0.width, p, 1);
      BuildMesh(over);
    }
  }
}

}  // namespace

void CheckCollisions(Canvas& canvas) {
  std::printf("\tChecking for Collisions: ");
  std::fflush(stdout);
  if (canvas.count < 2) return;
  Vec4 p;
  for (int i = 0; i < canvas.count; ++i) {
    ReportProgress(static_cast<float>(i), static_cast<float>(canvas.count));
    const Stroke& under = canvas.strokes[i];
    if (under.deleted || under.path.size() < 2) continue;
    for (int j = i + 1; j < canvas.count; ++j) {
      Stroke& over = canvas.strokes[j];
      if (!over.deleted) CollidePair(under, over, p);
    }
  }
  std::printf("\tDone!\n");
  std::fflush(stdout);
}
