#include "stroke/collisions.h"

#include <cstdio>
#include <vector>

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

namespace {

// The three sums of the crossing test, each divided by denom in the end:
// s = sNumerator / denom and t = tNumerator / denom.
struct CrossingTerms {
  double denom, sNumerator, tNumerator;
};

inline CrossingTerms Terms(double ax, double ay, double bx, double by, double cx, double cy,
                           double dx, double dy) {
  return {ax * (dy - cy) + bx * (cy - dy) + dx * (by - ay) + cx * (ay - by),
          ax * (dy - cy) + cx * (ay - dy) + dx * (cy - ay),
          -(ax * (cy - by) + bx * (ay - cy) + cx * (by - ay))};
}

inline bool InUnitRange(double value) { return value >= 0.0 && value <= 1.0; }

}  // namespace

bool SegmentCrossing(const Vec4& a, const Vec4& b, const Vec4& c, const Vec4& d, Vec4& p) {
  const CrossingTerms terms = Terms(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y);
  if (terms.denom == 0.0) return false;
  const double s = terms.sNumerator / terms.denom;
  const double t = terms.tNumerator / terms.denom;
  p.x = static_cast<float>(double(a.x) + s * (double(b.x) - double(a.x)));
  p.y = static_cast<float>(double(a.y) + s * (double(b.y) - double(a.y)));
  return InUnitRange(s) && InUnitRange(t);
}

void DeflectNode(StrokeNode& node, float height, float width, const Vec4& p, DeflectMode mode,
                 const CollisionFactors& factors) {
  if (node.locked) return;
  if (mode == kDeflectCrossing) {
    node.position = Vec4(p.x, p.y, 0.0f, 0.0f);
    node.height = factors.heightStart * height + node.baseHeight;
    node.width = factors.widthStart * width + node.baseWidth;
  } else {
    node.height = node.baseHeight - factors.heightEnd * height;
    node.width = node.baseWidth - factors.widthEnd * width;
  }
  node.locked = 1;
}

namespace {

// The points of the stroke being deflected, as doubles side by side, so that
// one segment of the earlier stroke is tested against many of its segments
// at once.
struct OverPoints {
  std::vector<double> x, y;
  std::vector<unsigned char> crossed;  // per segment, from the last MarkCrossings

  void Load(const Stroke& over) {
    const std::size_t count = over.path.size();
    x.resize(count);
    y.resize(count);
    crossed.resize(count);
    for (std::size_t k = 0; k < count; ++k) Update(over, k);
  }
  void Update(const Stroke& over, std::size_t k) {
    x[k] = over.path[k].position.x;
    y[k] = over.path[k].position.y;
  }
};

// Flags every segment of `over` that segment (a0, a1) crosses, with the very
// arithmetic of SegmentCrossing, lane by lane; returns whether any did. The
// loop has no branch so that it runs several segments per instruction
// (four with AVX2, picked at load time where the processor has it).
#if defined(__x86_64__) && (defined(__clang__) || defined(__GNUC__))
__attribute__((target_clones("avx2", "default")))
#endif
bool MarkCrossings(const Vec4& a0, const Vec4& a1, OverPoints& over) {
  const double ax = a0.x, ay = a0.y, bx = a1.x, by = a1.y;
  const double* x = over.x.data();
  const double* y = over.y.data();
  unsigned char* crossed = over.crossed.data();
  const std::size_t segments = over.x.size() - 1;
  unsigned char any = 0;
  for (std::size_t b = 0; b < segments; ++b) {
    const CrossingTerms terms = Terms(ax, ay, bx, by, x[b], y[b], x[b + 1], y[b + 1]);
    const double s = terms.sNumerator / terms.denom, t = terms.tNumerator / terms.denom;
    // & rather than &&: every lane computes every comparison.
    const unsigned char hit =
        (terms.denom != 0.0) & (s >= 0.0) & (s <= 1.0) & (t >= 0.0) & (t <= 1.0);
    crossed[b] = hit;
    any |= hit;
  }
  return any != 0;
}

// Tests every segment of `under` against every segment of `over`, in path
// order, deflecting `over` at each crossing. A deflection moves only the
// point at the start of the crossed segment, which no later test of the same
// segment of `under` reads, so each row of tests can be made at once.
// Returns whether any segment crossed; `beforeFirstChange` runs before the
// first crossing changes `over`.
bool CollidePair(const Stroke& under, Stroke& over, OverPoints& points, Vec4& p,
                 const CollisionFactors& factors, const std::function<void()>& beforeFirstChange) {
  const std::size_t underPoints = under.path.size(), overPoints = over.path.size();
  if (overPoints < 2) return false;
  points.Load(over);
  bool deflected = false;
  for (std::size_t a = 0; a + 1 < underPoints; ++a) {
    const StrokeNode& a0 = under.path[a];
    const StrokeNode& a1 = under.path[a + 1];
    if (!MarkCrossings(a0.position, a1.position, points)) continue;
    for (std::size_t b = 0; b + 1 < overPoints; ++b) {
      if (!points.crossed[b]) continue;
      if (!deflected) beforeFirstChange();
      SegmentCrossing(a0.position, a1.position, over.path[b].position, over.path[b + 1].position,
                      p);
      if (b > 0) over.path[b - 1].locked = 1;
      DeflectNode(over.path[b], a0.height, a0.width, p, kDeflectCrossing, factors);
      if (b + 2 < overPoints)
        DeflectNode(over.path[b + 1], a0.height, a0.width, p, kDeflectFollowing, factors);
      points.Update(over, b);
      deflected = true;
    }
  }
  return deflected;
}

}  // namespace

void CheckCollisions(Canvas& canvas, const CollisionFactors& factors, int subdivisionLevels,
                     const std::function<void(int slot)>& beforeChange) {
  std::printf("\tChecking for Collisions: ");
  std::fflush(stdout);
  if (canvas.count < 2) return;
  Vec4 p;
  // A deflected stroke is re-meshed once, after the pass over its earlier
  // strokes, instead of after every crossing: the tests read only path
  // points, and nothing looks at a mesh until the check is over, so the
  // result is the same at a fraction of the cost. Stroke j's last crossing
  // comes while stroke i < j is the earlier one, so stroke j is complete
  // when i reaches j.
  std::vector<bool> deflected(canvas.count, false);
  OverPoints points;
  for (int i = 0; i < canvas.count; ++i) {
    ReportProgress(static_cast<float>(i), static_cast<float>(canvas.count));
    Stroke& under = canvas.strokes[i];
    if (deflected[i]) BuildMesh(under, subdivisionLevels);
    if (under.deleted || under.path.size() < 2) continue;
    for (int j = i + 1; j < canvas.count; ++j) {
      Stroke& over = canvas.strokes[j];
      if (over.deleted) continue;
      const auto notice = [&] {
        if (!deflected[j] && beforeChange) beforeChange(j);
      };
      if (CollidePair(under, over, points, p, factors, notice)) deflected[j] = true;
    }
  }
  std::printf("\tDone!\n");
  std::fflush(stdout);
}
