#include "stroke/collisions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <queue>
#include <tuple>
#include <utility>
#include <vector>

#include "common/progress.h"
#include "stroke/mesh.h"
#include "stroke/parallel_index.h"
#include "stroke/segment_tree.h"

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

// Which pairs of segments the check tests.
//
// Testing every segment of every earlier stroke against every segment of
// every later one grows with the product of the path lengths; instead the
// check tests only pairs of segments whose boxes come within a margin m of
// each other, plus the pairs a ParallelIndex reports, and skips the rest.
// The argument below shows that SegmentCrossing, as computed, rejects every
// pair skipped, so deflections come out exactly as with every pair tested.
// A margin alone is not enough: for segments on one line, exactly parallel
// in real numbers, the rounded denominator can be a few units of rounding
// instead of 0, and s and t then come out as quotients of rounding errors
// that may land in [0, 1] with the segments far apart (a = (−4e−4, −4e−4),
// b = (3.7e−6, 3.7e−6), c = (0.015, 0.015), d = (0.229, 0.229) are
// accepted).
//
// Let every x and y of both strokes lie in [−M, M], M a power of two, and
// take m = M / 2^12. Segment A runs from a to b, B from c to d, of lengths
// la, lc. The test works in doubles from float coordinates, each operation
// rounded once (no multiply-add fusing: the file is built with
// -ffp-contract=off); u = 2^−53 and gn = nu / (1 − nu). No product or
// quotient here can underflow or overflow: nonzero values are multiples of
// 2^−298 and at most 2^260 in size.
//
// 1. Each term of the sums D (denom), S and T is a coordinate times a
//    rounded difference of two coordinates, rounded; adding four (three)
//    terms in turn gives |D^ − D| <= g5 (|a.x| + |b.x|) |d.y − c.y| +
//    g5 (|c.x| + |d.x|) |b.y − a.y| <= 2 g5 M (la + lc), and
//    |S^ − S|, |T^ − T| <= g4 6 M^2, where ^ marks computed values.
// 2. Solving a + s (b − a) = c + t (d − c) by Cramer's rule gives, for all
//    inputs, the identity S (b − a) − T (d − c) = D (c − a).
// 3. Say the test accepts: D^ != 0 and s^ = fl(S^ / D^), t^ = fl(T^ / D^)
//    lie in [0, 1]. Then qA = a + s^ (b − a) is a point of A and
//    qB = c + t^ (d − c) a point of B. With s^ D^ = S^ (1 + e1),
//    t^ D^ = T^ (1 + e2), |ei| <= u, and 2.,
//      D^ (qA − qB) = (D^ − D)(a − c) + (S^ − S)(b − a) − (T^ − T)(d − c)
//                     + e1 S^ (b − a) − e2 T^ (d − c),
//    and |S^|, |T^| <= |D^| / (1 − u) as |s^|, |t^| <= 1. With
//    |a − c| <= 2 sqrt(2) M and 1.:
//      |D^| (|qA − qB| − u (la + lc) / (1 − u))
//        <= (la + lc) M^2 (4 sqrt(2) g5 + 6 g4) < 53 u M^2 (la + lc).
// 4. If the boxes of A and B are apart by more than m along x or along y,
//    |qA − qB| > m, while u (la + lc) / (1 − u) < 6 u M < m / 2. So
//    |D^| < 106 u M^2 (la + lc) / m, and with 1.,
//    |D| < L (la + lc), where L = u M (106 M / m + 11).
// 5. |D| = la lc sin(f), f in [0, pi/2] the angle between the two lines,
//    so sin(f) < L (1/la + 1/lc) and f <= (pi/2) sin(f). Pseudo-angles
//    (ParallelIndex) differ by at most f, and each length is at least the
//    longer side of its box, as computed, over (1 + u). So the two
//    pseudo-angles differ by less than 2 L / (longer side of A) +
//    2 L / (longer side of B), plus their own rounding: the windows of the
//    index with the scale 2 L overlap, and it reports the pair.
// 6. A zero-length segment, or two segments both along x or both along y,
//    give D^ = 0 exactly (the terms cancel in pairs): never accepted, and
//    the index leaves them out.
// A stroke with a coordinate that is not finite or exceeds M (which only a
// deflection by such a stroke can bring) has every pair tested. A
// deflected point is the crossing rounded to floats, which lies between
// the ends of A coordinate by coordinate, so it stays within M.
constexpr int kMarginBits = 12;

// The factor L of step 4, for M = `bound`.
double RoundingScale(double bound) {
  const double u = 0x1p-53;
  return u * bound * (106.0 * std::ldexp(1.0, kMarginBits) + 11.0);
}

// Whether every x and y of `path` is finite; `largest` gets their largest
// magnitude.
bool FiniteExtent(const std::vector<StrokeNode>& path, double& largest) {
  largest = 0.0;
  for (const StrokeNode& node : path) {
    const double x = std::fabs(node.position.x), y = std::fabs(node.position.y);
    if (!(x <= std::numeric_limits<float>::max() && y <= std::numeric_limits<float>::max()))
      return false;
    largest = std::max({largest, x, y});
  }
  return true;
}

// A pair of segments to test: segment `a` of the earlier stroke `under`,
// segment `c` of the later stroke `over`; ordered as the check runs.
struct SegmentPair {
  int under, over, a, c;
  bool operator<(const SegmentPair& o) const {
    return std::tie(under, over, a, c) < std::tie(o.under, o.over, o.a, o.c);
  }
  bool operator>(const SegmentPair& o) const { return o < *this; }
  bool Before(int i, int j) const { return std::tie(under, over) < std::tie(i, j); }
  bool Is(int i, int j) const { return under == i && over == j; }
};

// One run of the check: the segment trees of the strokes, the index of
// their directions and the pairs it found, kept up to date as points move.
class CollisionRun {
 public:
  CollisionRun(Canvas& canvas, const CollisionFactors& factors,
               const std::function<void(int slot)>& beforeChange, std::vector<bool>& deflected,
               std::vector<bool>& reshaped)
      : canvas_(canvas),
        factors_(factors),
        beforeChange_(beforeChange),
        deflected_(deflected),
        reshaped_(reshaped) {
    Prepare();
  }

  // Every test of stroke i against the later stroke j, in path order.
  void CollidePair(int i, int j);

 private:
  bool TakesPart(int s) const {
    return !canvas_.strokes[s].deleted && canvas_.strokes[s].path.size() >= 2;
  }
  void Prepare();
  void Register(int stroke, int segment);
  void TestAndDeflect(int i, int j, int a, int c, std::vector<std::pair<int, int>>* later);
  void PointMoved(int i, int j, int k, int row, std::vector<std::pair<int, int>>* later);

  Canvas& canvas_;
  const CollisionFactors& factors_;
  const std::function<void(int slot)>& beforeChange_;
  std::vector<bool>& deflected_;  // crossed: announced, and re-meshed
  std::vector<bool>& reshaped_;   // a point moved, rose or sank
  Vec4 p_;  // the crossing of the last test

  double bound_ = 1.0;  // M
  float margin_ = 0.0f;  // m, or the least float above it where m is below every float
  std::vector<bool> everyPair_;        // strokes outside the argument's bounds
  std::vector<SegmentTree> trees_;
  ParallelIndex index_;
  // Pairs the index reported: those of the first pass in order, those of
  // moved segments in a heap, smallest first.
  std::vector<SegmentPair> firstPairs_;
  std::size_t nextFirstPair_ = 0;
  std::priority_queue<SegmentPair, std::vector<SegmentPair>, std::greater<SegmentPair>> movedPairs_;
  // Scratch.
  std::vector<SegmentRef> partners_;
  std::vector<std::pair<int, int>> candidates_, later_;
  std::vector<int> near_;
};

void CollisionRun::Prepare() {
  const int count = canvas_.count;
  everyPair_.assign(count, false);
  trees_.resize(count);
  double largest = 0.0;
  for (int s = 0; s < count; ++s) {
    if (!TakesPart(s)) continue;
    double extent = 0.0;
    if (FiniteExtent(canvas_.strokes[s].path, extent))
      largest = std::max(largest, extent);
    else
      everyPair_[s] = true;
  }
  int exponent = 0;
  std::frexp(largest, &exponent);  // largest < 2^exponent
  bound_ = std::ldexp(1.0, exponent);
  margin_ = std::max(static_cast<float>(std::ldexp(bound_, -kMarginBits)),
                     std::numeric_limits<float>::denorm_min());
  index_.Reset(2.0 * RoundingScale(bound_));
  for (int s = 0; s < count; ++s) {
    if (!TakesPart(s) || everyPair_[s]) continue;
    const std::vector<StrokeNode>& path = canvas_.strokes[s].path;
    trees_[s].Build(path);
    for (std::size_t k = 0; k + 1 < path.size(); ++k)
      index_.File(s, static_cast<int>(k), path[k].position, path[k + 1].position);
  }
  std::vector<std::pair<SegmentRef, SegmentRef>> pairs;
  index_.PairFiled(pairs);
  for (const auto& [p, q] : pairs) {  // p's stroke is the earlier
    firstPairs_.push_back({p.stroke, q.stroke, p.segment, q.segment});
  }
  std::sort(firstPairs_.begin(), firstPairs_.end());
}

void CollisionRun::CollidePair(int i, int j) {
  const Stroke& under = canvas_.strokes[i];
  Stroke& over = canvas_.strokes[j];
  if (over.path.size() < 2) return;
  candidates_.clear();
  // The pairs of the index come up when their strokes do.
  while (nextFirstPair_ < firstPairs_.size() && firstPairs_[nextFirstPair_].Before(i, j))
    ++nextFirstPair_;
  for (; nextFirstPair_ < firstPairs_.size() && firstPairs_[nextFirstPair_].Is(i, j);
       ++nextFirstPair_)
    candidates_.emplace_back(firstPairs_[nextFirstPair_].a, firstPairs_[nextFirstPair_].c);
  while (!movedPairs_.empty() && movedPairs_.top().Before(i, j)) movedPairs_.pop();
  for (; !movedPairs_.empty() && movedPairs_.top().Is(i, j); movedPairs_.pop())
    candidates_.emplace_back(movedPairs_.top().a, movedPairs_.top().c);

  const int underSegments = static_cast<int>(under.path.size()) - 1;
  const int overSegments = static_cast<int>(over.path.size()) - 1;
  if (everyPair_[i] || everyPair_[j]) {
    for (int a = 0; a < underSegments; ++a)
      for (int c = 0; c < overSegments; ++c) TestAndDeflect(i, j, a, c, nullptr);
    return;
  }
  SegmentTree::NearPairs(trees_[i], trees_[j], margin_, candidates_);
  std::sort(candidates_.begin(), candidates_.end());
  candidates_.erase(std::unique(candidates_.begin(), candidates_.end()), candidates_.end());
  for (std::size_t n = 0; n < candidates_.size(); ++n) {
    const auto [row, column] = candidates_[n];
    later_.clear();
    TestAndDeflect(i, j, row, column, &later_);
    if (everyPair_[j]) {
      // A point moved out of bounds (see PointMoved): every test left.
      for (int c = column + 1; c < overSegments; ++c) TestAndDeflect(i, j, row, c, nullptr);
      for (int a = row + 1; a < underSegments; ++a)
        for (int c = 0; c < overSegments; ++c) TestAndDeflect(i, j, a, c, nullptr);
      return;
    }
    if (later_.empty()) continue;
    // A moved point brings pairs of later rows; nothing before them changes.
    const auto rest = candidates_.begin() + static_cast<std::ptrdiff_t>(n) + 1;
    const std::ptrdiff_t restAt = rest - candidates_.begin();
    candidates_.insert(candidates_.end(), later_.begin(), later_.end());
    std::sort(candidates_.begin() + restAt, candidates_.end());
    candidates_.erase(std::unique(candidates_.begin() + restAt, candidates_.end()),
                      candidates_.end());
  }
}

void CollisionRun::TestAndDeflect(int i, int j, int a, int c,
                                  std::vector<std::pair<int, int>>* later) {
  const Stroke& under = canvas_.strokes[i];
  Stroke& over = canvas_.strokes[j];
  if (!SegmentCrossing(under.path[a].position, under.path[a + 1].position,
                       over.path[c].position, over.path[c + 1].position, p_))
    return;
  if (!deflected_[j]) {
    if (beforeChange_) beforeChange_(j);
    deflected_[j] = true;
  }
  const StrokeNode& at = under.path[a];
  if (c > 0) over.path[c - 1].locked = 1;
  const bool moves = !over.path[c].locked;
  const bool follows = static_cast<std::size_t>(c) + 2 < over.path.size();
  if (moves || (follows && !over.path[c + 1].locked)) reshaped_[j] = true;
  DeflectNode(over.path[c], at.height, at.width, p_, kDeflectCrossing, factors_);
  if (follows) DeflectNode(over.path[c + 1], at.height, at.width, p_, kDeflectFollowing, factors_);
  if (moves) PointMoved(i, j, c, a, later);
}

// Point k of stroke j moved during the tests of row `row` of the pair
// (i, j): its two segments get new boxes and new index entries, the index
// pairs they form are kept for their strokes' turn, and `later`, when set,
// gets the pairs of rows after `row` of this pair that now need a test.
void CollisionRun::PointMoved(int i, int j, int k, int row,
                              std::vector<std::pair<int, int>>* later) {
  if (everyPair_[j]) return;
  const std::vector<StrokeNode>& path = canvas_.strokes[j].path;
  const Vec4& moved = path[k].position;
  if (!(std::fabs(moved.x) <= bound_ && std::fabs(moved.y) <= bound_)) {
    // Only a crossing with a stroke out of bounds itself can bring this.
    everyPair_[j] = true;
    return;
  }
  trees_[j].PointMoved(path, static_cast<std::size_t>(k));
  for (const int segment : {k - 1, k}) {
    if (segment < 0 || segment >= trees_[j].SegmentCount()) continue;
    partners_.clear();
    index_.Add(j, segment, path[segment].position, path[segment + 1].position, partners_);
    for (const SegmentRef& r : partners_) {
      const SegmentPair pair = r.stroke < j ? SegmentPair{r.stroke, j, r.segment, segment}
                                            : SegmentPair{j, r.stroke, segment, r.segment};
      if (pair.Is(i, j)) {
        if (later && pair.a > row) later->emplace_back(pair.a, pair.c);
      } else if (!pair.Before(i, j)) {
        movedPairs_.push(pair);
      }
    }
    if (!later) continue;
    near_.clear();
    trees_[i].Near(trees_[j].Segment(segment), margin_, near_);
    for (const int a : near_)
      if (a > row) later->emplace_back(a, segment);
  }
}

}  // namespace

void CheckCollisions(Canvas& canvas, const CollisionFactors& factors, int subdivisionLevels,
                     const std::function<void(int slot)>& beforeChange) {
  std::printf("\tChecking for Collisions: ");
  std::fflush(stdout);
  if (canvas.count < 2) return;
  // A deflected stroke is re-meshed once, after the pass over its earlier
  // strokes, instead of after every crossing: the tests read only path
  // points, and nothing looks at a mesh until the check is over, so the
  // result is the same at a fraction of the cost. Stroke j's last crossing
  // comes while stroke i < j is the earlier one, so stroke j is complete
  // when i reaches j.
  // A crossed stroke whose points were all locked already is re-meshed
  // only when that could change its mesh: without one yet, or with other
  // subdivision levels; otherwise the mesh would come out the same.
  std::vector<bool> deflected(canvas.count, false), reshaped(canvas.count, false);
  CollisionRun run(canvas, factors, beforeChange, deflected, reshaped);
  for (int i = 0; i < canvas.count; ++i) {
    ReportProgress(static_cast<float>(i), static_cast<float>(canvas.count));
    Stroke& under = canvas.strokes[i];
    const bool meshCurrent =
        under.subdivision.baseMesh && under.subdivision.levels == subdivisionLevels;
    if (deflected[i] && (reshaped[i] || !meshCurrent)) BuildMesh(under, subdivisionLevels);
    if (under.deleted || under.path.size() < 2) continue;
    for (int j = i + 1; j < canvas.count; ++j) {
      if (canvas.strokes[j].deleted) continue;
      run.CollidePair(i, j);
    }
  }
  std::printf("\tDone!\n");
  std::fflush(stdout);
}
