#include "stroke/shape.h"

#include <cmath>

std::vector<float> SampleProfile(const std::uint8_t* rgb, std::size_t bytes, int width, int height,
                                 int s) {
  std::vector<float> profile(s > 0 ? s : 0, 0.0f);
  if (s <= 0) return profile;
  // An unreadable height map leaves the stroke flat rather than undefined.
  if (width > 0 && height > 0 && bytes >= std::size_t(width) * height * 3) {
    const int step = width / s;
    const int row = height / 2;
    for (int j = 0; j < s; ++j) {
      const std::size_t at = 3 * (std::size_t(row) * width + std::size_t(j) * step);
      profile[j] = static_cast<float>(rgb[at] + rgb[at + 1] + rgb[at + 2]) * 0.0013227513f;
    }
  }
  profile[0] = 0.0f;
  profile[s - 1] = 0.0f;
  for (int c = 1; c <= s / 2 - 1; ++c) profile[c] = profile[s - c];
  return profile;
}

void BuildShape(Stroke& stroke, float lod, const StrokeSettings& settings, HeightMap heightMap) {
  const int s = static_cast<int>(lod);
  stroke.shapeResolution = s;
  stroke.size.resolution = s;
  Vec4 start = settings.startColour, end = settings.endColour;
  start.w = 1.0f;
  end.w = 1.0f;
  stroke.size.startColours.assign(s > 0 ? s : 0, start);
  stroke.size.endColours.assign(s > 0 ? s : 0, end);
  ArrangeRows(heightMap, RowOrder::kBottomFirst);
  stroke.profile = SampleProfile(heightMap.pixels.data(), heightMap.pixels.size(), heightMap.width,
                                 heightMap.height, s);
}

namespace {

// Jitter of ±12.5 % around `value`, in the float order the sizes always used.
float Jitter(float value, float r) {
  const float a = value * 0.125f;
  return r * (a - (-a)) + (-a) + value;
}

Vec4 Tangent(const std::vector<StrokeNode>& path, int i, int m) {
  if (i == 0) return path[1].position - path[0].position;
  if (i <= m - 2) return path[i + 1].position - path[i - 1].position;
  // The last entry repeats the difference of the one before it; with only
  // two entries there is no entry before the first, so the forward
  // difference of the two serves.
  if (m == 2) return path[1].position - path[0].position;
  return path[i - 1].position - path[i - 2].position;
}

}  // namespace

float PressureScale(float pressure, const StrokeSettings& settings) {
  if (!(pressure < 1.0f)) return 1.0f;
  // Settings out of their range are held to it rather than trusted: a
  // minimum outside 0..1 or a curve that is not positive would turn sizes
  // negative or infinite.
  const float minimum = std::fmin(std::fmax(settings.pressureMinimum, 0.0f), 1.0f);
  const float curve = settings.pressureCurve > 0.0f ? settings.pressureCurve : 1.0f;
  const float response = std::pow(std::fmax(pressure, 0.0f), curve);
  return minimum + (1.0f - minimum) * response;
}

void BuildPerpendiculars(Stroke& stroke, const StrokeSettings& settings, RandomGenerator& random) {
  SetWidthRange(stroke, settings.widthStart, settings.widthEnd);
  SetHeightRange(stroke, settings.heightStart, settings.heightEnd);
  const int count = static_cast<int>(stroke.path.size());
  const float m = static_cast<float>(count);
  if (count < 2) return;
  const float taper = static_cast<float>(settings.pathLod * settings.endNode);
  const StrokeSize& size = stroke.size;
  Vec4 lastPerpendicular;  // zero until a path entry has a usable tangent
  for (float i = 0.0f; i < m; i += 1.0f) {
    const int k = static_cast<int>(i);
    float w = size.widthStart + (size.widthEnd - size.widthStart) * (i / m);
    float h = size.heightStart + (size.heightEnd - size.heightStart) * (i / m);
    if (settings.randomSize) {
      const float r1 = random.Unit();
      const float r2 = random.Unit();
      w = Jitter(w, r1);
      h = Jitter(h, r2);
    }
    if (i < taper) w = w * (i / taper);
    // A factor of exactly 1 (no pen) is skipped so the sizes stay the
    // very floats they were; NaN settings fall through to it too.
    const float scale = PressureScale(stroke.path[k].pressure, settings);
    if (scale != 1.0f) {
      w *= scale;
      h *= scale;
    }
    Vec4 tangent = Tangent(stroke.path, k, count);
    tangent.w = 0.0f;
    const float length = tangent.Length();
    // Coincident neighbours give no direction: such an entry keeps the
    // perpendicular of the entry before it, so no NaN reaches the mesh.
    Vec4 perpendicular = lastPerpendicular;
    if (length > 0.0f) {
      const float inverse = 1.0f / length;
      perpendicular = Vec4(tangent.y * inverse, -tangent.x * inverse, tangent.z * inverse, 0.0f);
      lastPerpendicular = perpendicular;
    }
    if (k == count - 1) w = 0.0f;
    StrokeNode& node = stroke.path[k];
    node.tangent = tangent;
    node.tangent.length = length;
    node.perpendicular = perpendicular;
    node.width = w;
    node.height = h;
    node.baseWidth = w;
    node.baseHeight = h;
  }
}
