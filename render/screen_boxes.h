#pragma once
// Where strokes land on the screen: boxes of window pixels (origin
// bottom-left) that hold everything a stroke, or a run of its faces or
// particles, may draw, through the camera the current GL matrices hold. A
// pass confined to a box (a scissor, a pick region) need only draw the
// strokes, and the runs of them, whose boxes meet it.

#include <limits>
#include <vector>

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

// The projection of the current model-view, projection and viewport.
class ScreenProjection {
 public:
  ScreenProjection();
  // The same from matrices as glGetDoublev gives them (column-major) and a
  // viewport as glGetIntegerv does.
  ScreenProjection(const double* modelView, const double* projection, const int* viewport);
  // The pixels a box may cover, with a margin for points and lines drawn at
  // its vertices. A box reaching behind the eye may cover any pixel. The
  // box of a box inside another lies inside the other's: the projection
  // keeps a box's inside within the hull of its corners while every corner
  // is in front of the eye.
  ScreenBox Of(const SceneBox& box) const;
  const int* Viewport() const { return viewport_; }

 private:
  friend class BoxSides;
  double matrix_[16];  // projection × model-view, column-major
  int viewport_[4];
};

// The four sides of a box of pixels, widened by the margin Of gives, as
// planes in scene coordinates: a triangle (or three points) with every
// corner beyond one side draws nothing inside the box. Tested before the
// divide by w, the rule holds for corners behind the eye too: what the GL
// keeps of a clipped triangle lies between its corners there.
class BoxSides {
 public:
  BoxSides(const ScreenProjection& projection, const ScreenBox& box);
  bool AllBeyond(const Vec4& a, const Vec4& b, const Vec4& c) const;

 private:
  double planes_[4][4];  // a point is beyond side s when planes_[s] · (x, y, z, 1) < 0
};

// A pass confined to `box`: the committed strokes that may draw into it,
// and which runs of their faces and particles do. The projection must
// outlive it.
struct ConfinedPass {
  const ScreenProjection* projection = nullptr;
  ScreenBox box;
  std::vector<int> slots;  // 0-based, increasing; none of them deleted
  bool Reaches(const SceneBox& part) const { return projection->Of(part).Meets(box); }
};

// The strokes reaching `box`, found by testing every committed stroke's
// kept box (for a pass now and then, such as picking; the kept picture
// asks a StrokeIndex, render/stroke_index.h).
ConfinedPass StrokesReaching(const ScreenProjection& projection, const ScreenBox& box,
                             const Canvas& canvas);
