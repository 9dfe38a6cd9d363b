#include "glui/arcball.h"

#include <cmath>

namespace arcball {

namespace {

constexpr float kPi = 3.14159265358979f;

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Quat Normalized(const Quat& q) {
  float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  if (n <= 0.0f) return {0, 0, 0, 1};
  return {q.x / n, q.y / n, q.z / n, q.w / n};
}

void NormalizeColumn(float* c) {
  float n = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
  if (n <= 0.0f) return;
  c[0] /= n;
  c[1] /= n;
  c[2] /= n;
}

// c -= (c . ref) ref, for unit ref.
void RemoveComponent(float* c, const float* ref) {
  float d = c[0] * ref[0] + c[1] * ref[1] + c[2] * ref[2];
  c[0] -= d * ref[0];
  c[1] -= d * ref[1];
  c[2] -= d * ref[2];
}

}  // namespace

Vec3 SpherePoint(float dx, float dy, float radius) {
  float x = dx / radius;
  float y = dy / radius;
  float d2 = x * x + y * y;
  if (d2 > 1.0f) {
    float d = std::sqrt(d2);
    return {x / d, y / d, 0.0f};
  }
  return {x, y, std::sqrt(1.0f - d2)};
}

Quat TurnBetween(const Vec3& from, const Vec3& to) {
  Vec3 axis = Cross(from, to);
  return Normalized({axis.x, axis.y, axis.z, Dot(from, to)});
}

float AngleDegrees(const Quat& q) {
  float w = std::fmin(1.0f, std::fabs(q.w));
  return 2.0f * std::acos(w) * 180.0f / kPi;
}

Quat ScaleAngle(const Quat& q, float factor) {
  Quat n = Normalized(q);
  if (n.w < 0) n = {-n.x, -n.y, -n.z, -n.w};  // the shorter way round
  float half = std::acos(std::fmin(1.0f, n.w));
  float s = std::sin(half);
  if (s < 1e-7f) return {0, 0, 0, 1};
  float scaled = half * factor;
  float k = std::sin(scaled) / s;
  return {n.x * k, n.y * k, n.z * k, std::cos(scaled)};
}

void SetIdentity(float m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void ToMatrix(const Quat& q0, float out[16]) {
  Quat q = Normalized(q0);
  float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  SetIdentity(out);
  // Column-major: out[col * 4 + row].
  out[0] = 1 - 2 * (yy + zz);
  out[1] = 2 * (xy + wz);
  out[2] = 2 * (xz - wy);
  out[4] = 2 * (xy - wz);
  out[5] = 1 - 2 * (xx + zz);
  out[6] = 2 * (yz + wx);
  out[8] = 2 * (xz + wy);
  out[9] = 2 * (yz - wx);
  out[10] = 1 - 2 * (xx + yy);
}

void TurnOnViewerSide(const Quat& q, float m[16]) {
  float r[16];
  ToMatrix(q, r);
  float result[16];
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += r[k * 4 + row] * m[col * 4 + k];
      result[col * 4 + row] = sum;
    }
  for (int i = 0; i < 16; ++i) m[i] = result[i];
}

void Orthonormalize(float m[16]) {
  float* c0 = m;
  float* c1 = m + 4;
  float* c2 = m + 8;
  NormalizeColumn(c0);
  RemoveComponent(c1, c0);
  NormalizeColumn(c1);
  RemoveComponent(c2, c0);
  RemoveComponent(c2, c1);
  NormalizeColumn(c2);
}

}  // namespace arcball
