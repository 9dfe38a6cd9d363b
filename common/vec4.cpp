#include "common/vec4.h"

#include <cmath>

float Vec4::Length() {
  length = std::sqrt(x * x + y * y + z * z + w * w);
  return length;
}

Vec4 Cross(const Vec4& a, const Vec4& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f};
}

Vec4 Lerp(const Vec4& a, const Vec4& b, float t, float n) {
  const float f = t / (n == 0.0f ? 1.0f : n);
  return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f,
          a.w + (b.w - a.w) * f};
}

float Lerp(float a, float b, float t, float n) {
  return a + (b - a) * (t / (n == 0.0f ? 1.0f : n));
}

Vec4 TriangleNormal(const Vec4& p0, const Vec4& p1, const Vec4& p2) {
  return Cross(p1 - p2, p0 - p1);
}
