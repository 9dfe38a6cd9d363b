#pragma once
// The path of a stroke: an evenly sampled open uniform cubic B-spline whose
// control polygon is the painted nodes plus one extra control point at the
// origin. Samples land in Stroke::path, replacing what was there.

#include <vector>

#include "common/vec4.h"
#include "stroke/stroke.h"

// Knots u_0 .. u_{n+t} for control points 0..n and order t: t zeros, then
// 1, 2, …, then n − t + 2 repeated.
std::vector<int> BSplineKnots(int n, int t);
// Cox–de Boor basis function of control point k, order t, at parameter v.
double BSplineBlend(int k, int t, double v, const std::vector<int>& knots);
// Curve point at v; x, y, z and w summed in float in control-point order.
Vec4 BSplinePoint(double v, const std::vector<Vec4>& control, const std::vector<int>& knots);
// `res` samples from v = 0 by repeated addition of (n − t + 2) / (res − 1);
// the last sample is the last control point.
std::vector<Vec4> BSplineCurve(const std::vector<Vec4>& control, int t, int res);

// Path := the first pathLod × (N − 2) samples of the curve through `nodes`,
// positions and pressures.
// Fewer than 3 nodes leave the path empty.
void BuildPath(Stroke& stroke, int pathLod);
