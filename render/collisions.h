#pragma once
// Bounding rectangles of strokes, and paint piling up where a later stroke
// crosses an earlier one. Pure computation: no GL.

#include "stroke/stroke.h"

// Corners (minX, minY), (minX, maxY), (maxX, maxY), (maxX, minY) of the base
// mesh's raised vertices (a vertex with x, y or z exactly 0 is skipped).
void ComputeBounds(Stroke& stroke);
// Segment ab against cd in the canvas plane; true when they cross (ends
// inclusive, parallel never), with the crossing written to p.x, p.y.
bool SegmentCrossing(const Vec4& a, const Vec4& b, const Vec4& c, const Vec4& d, Vec4& p);
// Mode 0: the point moves onto p and rises/widens by the collision "Start"
// factors; mode 1: it sinks/narrows by the "End" factors. Locks the point;
// a locked point is left alone.
void DeflectNode(StrokeNode& node, float height, float width, const Vec4& p, int mode);
// Every later stroke deflected where it crosses an earlier one, then
// re-meshed. Prints "\tChecking for Collisions: ", progress and "\tDone!".
void CheckCollisions(Canvas& canvas);
