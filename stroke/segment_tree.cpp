#include "stroke/segment_tree.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr SegmentBox kEmptyBox = {kInf, kInf, -kInf, -kInf};
// Paths hold fewer than 2^31 points, so a tree has at most 31 levels below
// its root.
constexpr int kMaxDepth = 32;

SegmentBox Union(const SegmentBox& p, const SegmentBox& q) {
  return {std::min(p.minX, q.minX), std::min(p.minY, q.minY), std::max(p.maxX, q.maxX),
          std::max(p.maxY, q.maxY)};
}

SegmentBox BoxOf(const Vec4& a, const Vec4& b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace

bool BoxesApart(const SegmentBox& p, const SegmentBox& q, float margin) {
  // An empty box gives +inf here (never inf − inf), so it is apart from any.
  return (q.minX - p.maxX > margin) | (p.minX - q.maxX > margin) | (q.minY - p.maxY > margin) |
         (p.minY - q.maxY > margin);
}

void SegmentTree::Build(const std::vector<StrokeNode>& path) {
  segments_ = path.size() < 2 ? 0 : static_cast<int>(path.size() - 1);
  leaves_ = 1;
  while (leaves_ < static_cast<std::size_t>(segments_)) leaves_ *= 2;
  nodes_.assign(2 * leaves_, kEmptyBox);
  for (int k = 0; k < segments_; ++k)
    nodes_[leaves_ + k] = BoxOf(path[k].position, path[k + 1].position);
  for (std::size_t node = leaves_ - 1; node >= 1; --node)
    nodes_[node] = Union(nodes_[2 * node], nodes_[2 * node + 1]);
}

void SegmentTree::Refit(std::size_t leaf) {
  for (std::size_t node = leaf / 2; node >= 1; node /= 2)
    nodes_[node] = Union(nodes_[2 * node], nodes_[2 * node + 1]);
}

void SegmentTree::PointMoved(const std::vector<StrokeNode>& path, std::size_t k) {
  for (std::size_t segment : {k - 1, k}) {
    // k − 1 wraps around for k = 0 and is skipped with the segments past the end.
    if (segment >= static_cast<std::size_t>(segments_)) continue;
    nodes_[leaves_ + segment] = BoxOf(path[segment].position, path[segment + 1].position);
    Refit(leaves_ + segment);
  }
}

void SegmentTree::NearPairs(const SegmentTree& a, const SegmentTree& b, float margin,
                            std::vector<std::pair<int, int>>& out) {
  if (a.segments_ == 0 || b.segments_ == 0 || BoxesApart(a.nodes_[1], b.nodes_[1], margin)) return;
  // Level by level: every pair of nodes that are near gives the pairs of
  // their children, split on the side with more segments under each node
  // (both when even), and keeps those near too. All pairs of a level split
  // alike, and the tests go without branches, which a walk down one pair
  // at a time cannot predict.
  thread_local std::vector<std::pair<std::uint32_t, std::uint32_t>> frontier, next;
  frontier.assign(1, {1u, 1u});
  std::size_t spanA = a.leaves_, spanB = b.leaves_;  // segments under each node of the level
  while (true) {
    const bool splitA = spanA > 1 && spanA >= spanB, splitB = spanB > 1 && spanB >= spanA;
    if (!splitA && !splitB) break;
    next.resize(frontier.size() * 4);
    std::size_t n = 0;
    for (const auto& [p, q] : frontier) {
      const std::uint32_t p0 = splitA ? 2 * p : p, p1 = splitA ? 2 * p + 1 : p;
      const std::uint32_t q0 = splitB ? 2 * q : q, q1 = splitB ? 2 * q + 1 : q;
      next[n] = {p0, q0};
      n += !BoxesApart(a.nodes_[p0], b.nodes_[q0], margin);
      if (splitB) {
        next[n] = {p0, q1};
        n += !BoxesApart(a.nodes_[p0], b.nodes_[q1], margin);
      }
      if (splitA) {
        next[n] = {p1, q0};
        n += !BoxesApart(a.nodes_[p1], b.nodes_[q0], margin);
        if (splitB) {
          next[n] = {p1, q1};
          n += !BoxesApart(a.nodes_[p1], b.nodes_[q1], margin);
        }
      }
    }
    next.resize(n);
    frontier.swap(next);
    if (splitA) spanA /= 2;
    if (splitB) spanB /= 2;
  }
  for (const auto& [p, q] : frontier)
    out.emplace_back(static_cast<int>(p - a.leaves_), static_cast<int>(q - b.leaves_));
}

void SegmentTree::Near(const SegmentBox& box, float margin, std::vector<int>& out) const {
  if (segments_ == 0) return;
  std::size_t stack[kMaxDepth + 2];
  int top = 0;
  stack[top++] = 1;
  while (top > 0) {
    const std::size_t node = stack[--top];
    if (BoxesApart(nodes_[node], box, margin)) continue;
    if (node >= leaves_) {
      out.push_back(static_cast<int>(node - leaves_));
    } else {
      stack[top++] = 2 * node + 1;
      stack[top++] = 2 * node;
    }
  }
}
