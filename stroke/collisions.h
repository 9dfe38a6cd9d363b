#pragma once
// Bounding rectangles of strokes, and paint piling up where a later stroke
// crosses an earlier one. Pure computation: no GL.

#include <functional>

#include "stroke/settings.h"
#include "stroke/stroke.h"

// Which point of a crossed segment a deflection moves.
enum DeflectMode : int {
  kDeflectCrossing = 0,   // the segment's start: onto the crossing, raised and widened
  kDeflectFollowing = 1,  // the point after it: lowered and narrowed in place
};

// Corners (minX, minY), (minX, maxY), (maxX, maxY), (maxX, minY) of the base
// mesh's raised vertices (a vertex with x, y or z exactly 0 is skipped).
void ComputeBounds(Stroke& stroke);
// Segment ab against cd in the canvas plane; true when they cross (ends
// inclusive, parallel never), with the crossing written to p.x, p.y.
bool SegmentCrossing(const Vec4& a, const Vec4& b, const Vec4& c, const Vec4& d, Vec4& p);
// kDeflectCrossing: the point moves onto p and rises/widens by the "start"
// factors; kDeflectFollowing: it sinks/narrows by the "end" factors. Locks
// the point; a locked point is left alone.
void DeflectNode(StrokeNode& node, float height, float width, const Vec4& p, DeflectMode mode,
                 const CollisionFactors& factors);
// Every later stroke deflected where it crosses an earlier one, then
// re-meshed with `subdivisionLevels` levels. Prints "\tChecking for
// Collisions: ", progress and "\tDone!". `beforeChange`, when set, hears the
// 0-based slot of every stroke about to be changed, once, before it is.
void CheckCollisions(Canvas& canvas, const CollisionFactors& factors, int subdivisionLevels,
                     const std::function<void(int slot)>& beforeChange = nullptr);
