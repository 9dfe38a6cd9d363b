#pragma once
// Where strokes land on the screen: boxes of window pixels (origin
// bottom-left) that hold everything a stroke may draw, through the camera
// the current GL matrices hold. A pass confined to a box (a scissor, a pick
// region) need only draw the strokes whose boxes meet it.

#include <limits>

#include "render/scene.h"
#include "stroke/stroke.h"

// A box of window pixels, edges included; empty until something is added.
struct ScreenBox {
  double x0 = std::numeric_limits<double>::infinity(), y0 = x0;
  double x1 = -std::numeric_limits<double>::infinity(), y1 = x1;
  bool Empty() const { return x0 > x1 || y0 > y1; }
  double Area() const { return Empty() ? 0 : (x1 - x0) * (y1 - y0); }
  void Add(double x, double y);
  bool Meets(const ScreenBox& other) const;
};

// An axis-aligned box in the scene; empty until something is added.
struct SceneBox {
  float lo[3] = {std::numeric_limits<float>::infinity(), lo[0], lo[0]};
  float hi[3] = {-std::numeric_limits<float>::infinity(), hi[0], hi[0]};
  bool Empty() const { return lo[0] > hi[0]; }
  void Add(float x, float y, float z);
  void Add(const SceneBox& other);
};

// Everything a committed stroke may draw: its meshes (base and subdivided),
// particle quads, path points and outline.
SceneBox BoxOfStroke(const Stroke& stroke);

// The projection of the current model-view, projection and viewport.
class ScreenProjection {
 public:
  ScreenProjection();
  // The pixels a box may cover, with a margin for points and lines drawn at
  // its vertices. A box reaching behind the eye may cover any pixel.
  ScreenBox Of(const SceneBox& box) const;
  const int* Viewport() const { return viewport_; }

 private:
  double matrix_[16];
  int viewport_[4];
};

// The strokes that may draw into `box`, by `projection` (which must outlive
// the filter).
StrokeFilter StrokesReaching(const ScreenProjection& projection, const ScreenBox& box);
