#include "render/stroke_index.h"

#include <algorithm>

namespace {

// A node with this many strokes or fewer tests them one by one.
constexpr int kStrokesPerLeaf = 4;

float Centre(const SceneBox& box, int axis) { return 0.5f * (box.lo[axis] + box.hi[axis]); }

int LongestAxis(const SceneBox& box) {
  int axis = 0;
  for (int k = 1; k < 3; ++k)
    if (box.hi[k] - box.lo[k] > box.hi[axis] - box.lo[axis]) axis = k;
  return axis;
}

}  // namespace

void StrokeIndex::Update(const Canvas& canvas, std::uint64_t revision) {
  if (canvas_ == &canvas && revision_ == revision) return;
  canvas_ = &canvas;
  revision_ = revision;
  items_.clear();
  nodes_.clear();
  for (int slot = 0; slot < canvas.count; ++slot) {
    const Stroke& stroke = canvas.strokes[slot];
    if (!stroke.deleted && !stroke.reach.whole.Empty()) items_.push_back(slot);
  }
  if (!items_.empty()) Build(0, static_cast<int>(items_.size()));
}

// Nodes in depth-first order: an inner node's first child follows it.
// Each splits its strokes at the median of their centres along the longest
// side of the box of those centres.
int StrokeIndex::Build(int first, int count) {
  const int index = static_cast<int>(nodes_.size());
  nodes_.emplace_back();
  SceneBox box, centres;
  for (int i = first; i < first + count; ++i) {
    const SceneBox& reach = canvas_->strokes[items_[i]].reach.whole;
    box.Add(reach);
    centres.Add(Centre(reach, 0), Centre(reach, 1), Centre(reach, 2));
  }
  nodes_[index].box = box;
  nodes_[index].first = first;
  nodes_[index].count = count;
  if (count <= kStrokesPerLeaf) return index;
  const int axis = LongestAxis(centres);
  const int half = count / 2;
  auto begin = items_.begin() + first;
  std::nth_element(begin, begin + half, begin + count, [this, axis](int a, int b) {
    return Centre(canvas_->strokes[a].reach.whole, axis) <
           Centre(canvas_->strokes[b].reach.whole, axis);
  });
  Build(first, half);
  const int second = Build(first + half, count - half);
  nodes_[index].second = second;
  return index;
}

ConfinedPass StrokeIndex::Reaching(const ScreenProjection& projection,
                                   const ScreenBox& box) const {
  ConfinedPass pass{&projection, box, {}};
  if (nodes_.empty()) return pass;
  std::vector<int> stack{0};
  while (!stack.empty()) {
    const Node& node = nodes_[stack.back()];
    const int index = stack.back();
    stack.pop_back();
    if (!pass.Reaches(node.box)) continue;
    if (node.count > kStrokesPerLeaf) {
      stack.push_back(node.second);
      stack.push_back(index + 1);
      continue;
    }
    for (int i = node.first; i < node.first + node.count; ++i)
      if (pass.Reaches(canvas_->strokes[items_[i]].reach.whole)) pass.slots.push_back(items_[i]);
  }
  std::sort(pass.slots.begin(), pass.slots.end());
  return pass;
}
