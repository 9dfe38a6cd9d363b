#pragma once
// The boxes of a path's segments (segment k joins point k to point k + 1)
// in a binary tree over path order: each node boxes a run of consecutive
// segments, so two paths that meet in a few places are compared in a few
// hundred box tests instead of segment against segment. Only x and y are
// boxed. Pure data: it reads the path it is given and keeps no pointer to
// it.

#include <cstddef>
#include <utility>
#include <vector>

#include "stroke/stroke.h"

// An axis-aligned box in the canvas plane. The empty box has min = +inf
// and max = -inf, and is far from everything.
struct SegmentBox {
  float minX, minY, maxX, maxY;
};

// Whether two boxes are apart by more than `margin` along x or along y.
// Exact: rounding keeps order, so a difference that rounds to more than
// `margin` is more than it.
bool BoxesApart(const SegmentBox& p, const SegmentBox& q, float margin);

class SegmentTree {
 public:
  // Boxes every segment of `path` (none for fewer than two points).
  void Build(const std::vector<StrokeNode>& path);
  // Re-boxes the segments on either side of point k after it moved.
  void PointMoved(const std::vector<StrokeNode>& path, std::size_t k);
  int SegmentCount() const { return segments_; }
  const SegmentBox& Segment(int k) const { return nodes_[leaves_ + k]; }
  const SegmentBox& Whole() const { return nodes_[1]; }

  // Appends every pair (segment of `a`, segment of `b`) whose boxes are not
  // apart by more than `margin`, in no particular order.
  static void NearPairs(const SegmentTree& a, const SegmentTree& b, float margin,
                        std::vector<std::pair<int, int>>& out);
  // Appends every segment whose box is not apart from `box` by more than
  // `margin`, in no particular order.
  void Near(const SegmentBox& box, float margin, std::vector<int>& out) const;

 private:
  void Refit(std::size_t leaf);

  int segments_ = 0;
  std::size_t leaves_ = 1;         // a power of two ≥ segments_, < 2^31; leaf k is node leaves_ + k
  std::vector<SegmentBox> nodes_;  // node 1 is the root, node i has children 2i and 2i + 1
};
