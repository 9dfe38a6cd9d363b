#pragma once
// The committed strokes of a canvas in a tree of their kept boxes (a
// bounding volume hierarchy in scene coordinates), so that a pass confined
// to a small part of the view finds the few strokes reaching it without
// projecting the box of every stroke. Any camera works: a node is tested
// by projecting its box, which holds the boxes below it, and a box inside
// another projects inside the other's (render/screen_boxes.h), so a node
// passed over holds no stroke that reaches the part.

#include <cstdint>
#include <vector>

#include "render/screen_boxes.h"
#include "stroke/stroke.h"

class StrokeIndex {
 public:
  // Indexes the strokes of `canvas` as they stand at `revision` (moved by
  // every change of a committed stroke or of their count); nothing to do
  // when it holds that canvas at that revision already.
  void Update(const Canvas& canvas, std::uint64_t revision);
  // The same strokes StrokesReaching finds by testing every one.
  ConfinedPass Reaching(const ScreenProjection& projection, const ScreenBox& box) const;

 private:
  struct Node {
    SceneBox box;
    int first = 0, count = 0;  // the node's strokes: items_[first, first + count)
    int second = 0;            // an inner node's second child (its first is the next node)
  };
  int Build(int first, int count);

  const Canvas* canvas_ = nullptr;
  std::uint64_t revision_ = 0;
  std::vector<int> items_;  // slots of strokes not deleted that draw something
  std::vector<Node> nodes_;
};
