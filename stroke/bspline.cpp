#include "stroke/bspline.h"

#include <cmath>

std::vector<int> BSplineKnots(int n, int t) {
  std::vector<int> knots(n + t + 1);
  for (int j = 0; j <= n + t; ++j) {
    if (j < t)
      knots[j] = 0;
    else if (j <= n)
      knots[j] = j - t + 1;
    else
      knots[j] = n - t + 2;
  }
  return knots;
}

double BSplineBlend(int k, int t, double v, const std::vector<int>& knots) {
  if (t == 1) return (knots[k] <= v && v < knots[k + 1]) ? 1.0 : 0.0;
  double value = 0.0;
  const int leftSpan = knots[k + t - 1] - knots[k];
  const int rightSpan = knots[k + t] - knots[k + 1];
  if (leftSpan != 0)
    value = (v - knots[k]) / static_cast<double>(leftSpan) * BSplineBlend(k, t - 1, v, knots);
  if (rightSpan != 0)
    value +=
        (knots[k + t] - v) / static_cast<double>(rightSpan) * BSplineBlend(k + 1, t - 1, v, knots);
  return value;
}

Vec4 BSplinePoint(double v, const std::vector<Vec4>& control, const std::vector<int>& knots) {
  const int order = static_cast<int>(knots.size() - control.size());
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
  for (std::size_t i = 0; i < control.size(); ++i) {
    // Basis i vanishes outside [u_i, u_{i+order}). Skipping it is exact: the
    // running sums start at +0 and never become −0, so adding a zero product
    // would leave them bit for bit unchanged.
    if (v < knots[i] || v >= knots[i + order]) continue;
    const double blend = BSplineBlend(static_cast<int>(i), order, v, knots);
    x += control[i].x * blend;
    y += control[i].y * blend;
    z += control[i].z * blend;
    w += control[i].w * blend;
  }
  return Vec4(x, y, z, w);
}

std::vector<Vec4> BSplineCurve(const std::vector<Vec4>& control, int t, int res) {
  std::vector<Vec4> samples;
  if (res < 2 || control.empty()) return samples;
  const int n = static_cast<int>(control.size()) - 1;
  const std::vector<int> knots = BSplineKnots(n, t);
  const double increment = static_cast<double>(n - t + 2) / static_cast<double>(res - 1);
  samples.reserve(res);
  double v = 0.0;
  for (int k = 0; k < res - 1; ++k) {
    samples.push_back(BSplinePoint(v, control, knots));
    v += increment;
  }
  samples.push_back(control.back());
  return samples;
}

void BuildPath(Stroke& stroke, int pathLod) {
  const int n = static_cast<int>(stroke.nodes.size());
  stroke.path.clear();
  if (n < 3 || pathLod < 1) return;
  // The pressure rides in w, so it follows the path as the positions do,
  // from the same basis values.
  std::vector<Vec4> control;
  control.reserve(n + 1);
  bool pen = false;
  for (const StrokeNode& node : stroke.nodes) {
    control.emplace_back(node.position.x, node.position.y, node.position.z, node.pressure);
    pen = pen || node.pressure != 1.0f;
  }
  // The extra control point draws the positions towards the origin for
  // N = 3; it carries the last node's pressure, so that the pressure is not
  // drawn towards nothing with them.
  control.emplace_back(0.0f, 0.0f, 0.0f, stroke.nodes.back().pressure);
  const std::vector<Vec4> samples = BSplineCurve(control, 4, pathLod * n);
  const int kept = pathLod * (n - 2);
  stroke.path.resize(kept);
  for (int i = 0; i < kept; ++i) {
    const Vec4& sample = samples[i];
    stroke.path[i].position = Vec4(sample.x, sample.y, sample.z, 0.0f);
    // Without a pen every sample keeps pressure 1 exactly: the float sums
    // of the basis values need not come to 1.
    if (pen) stroke.path[i].pressure = std::fmin(std::fmax(sample.w, 0.0f), 1.0f);
  }
}
