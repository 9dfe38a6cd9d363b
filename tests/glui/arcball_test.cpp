// Arcball maths: the hand-computable cases first, then invariants over many
// seeded random turns.
#include "glui/arcball.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace arcball;

namespace {

constexpr float kPi = 3.14159265f;

// Orthonormal columns and determinant +1: a rotation, not a reflection.
void ExpectRotation(const float m[16], float tolerance) {
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b) {
      float dot = 0;
      for (int k = 0; k < 3; ++k) dot += m[a * 4 + k] * m[b * 4 + k];
      EXPECT_NEAR(dot, a == b ? 1.0f : 0.0f, tolerance) << "columns " << a << "," << b;
    }
  float det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
              m[8] * (m[1] * m[6] - m[5] * m[2]);
  EXPECT_NEAR(det, 1.0f, tolerance);
}

}  // namespace

// One pixel from the centre turns about 1.15 degrees whichever way; a drag
// to the right across the centre turns about +y; a point outside the ball
// goes onto its rim (radius 500 here).
TEST(Arcball, SpherePointsAndTurnsBetweenThem) {
  for (const auto& [dx, dy] : {std::pair{1.0f, 0.0f}, {0.0f, 1.0f}, {-1.0f, 0.0f}, {0.6f, 0.8f}}) {
    SCOPED_TRACE(testing::Message() << dx << "," << dy);
    EXPECT_NEAR(AngleDegrees(TurnBetween(SpherePoint(0, 0), SpherePoint(dx, dy))), 1.15f, 0.01f);
  }
  const Quat q = TurnBetween(SpherePoint(-5, 0), SpherePoint(5, 0));
  EXPECT_LT(std::hypot(q.x, q.z), 1e-6);
  EXPECT_GT(q.y, 0);
  const Vec3 p = SpherePoint(300, 400);
  EXPECT_LT(std::hypot(p.x - 0.6f, p.y - 0.8f), 1e-6);
  EXPECT_EQ(p.z, 0.0f);
}

// 90° about z is column-major (x goes to y in the first column); a further
// 90° about x applied on the viewer's side sends the model's x axis to z.
TEST(Arcball, MatrixIsColumnMajorAndTurnsApplyOnTheViewerSide) {
  const float s = std::sin(kPi / 4), c = std::cos(kPi / 4);
  float m[16];
  ToMatrix({0, 0, s, c}, m);
  const float quarterAboutZ[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], quarterAboutZ[i], 1e-6) << i;
  TurnOnViewerSide({s, 0, 0, c}, m);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(m[i], i == 2, 1e-6) << i;
}

TEST(Arcball, ScaleAngleKeepsTheAxis) {
  Quat q = TurnBetween(SpherePoint(0, 0), SpherePoint(20, 10));
  for (float factor : {0.0f, 0.5f, 0.9f, 1.0f}) {
    SCOPED_TRACE(factor);
    Quat scaled = ScaleAngle(q, factor);
    EXPECT_NEAR(AngleDegrees(scaled), AngleDegrees(q) * factor, 1e-3);
    if (factor > 0) {  // imaginary parts proportional, same direction
      EXPECT_NEAR(scaled.x * q.y - scaled.y * q.x, 0, 1e-6);
      EXPECT_GT(scaled.x * q.x + scaled.y * q.y + scaled.z * q.z, 0);
    }
  }
}

// Orthonormalize after every turn keeps the float matrix a rotation (the
// drift of 20000 turns without it is well past the tolerance).
TEST(Arcball, StaysARotationOverManyRandomDrags) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> step(-15, 15);
  float m[16];
  SetIdentity(m);
  float px = 0, py = 0;
  for (int i = 0; i < 20000; ++i) {
    const float nx = std::fmax(-60, std::fmin(60, px + step(random)));
    const float ny = std::fmax(-60, std::fmin(60, py + step(random)));
    TurnOnViewerSide(TurnBetween(SpherePoint(px, py), SpherePoint(nx, ny)), m);
    Orthonormalize(m);
    px = nx;
    py = ny;
  }
  ExpectRotation(m, 1e-5f);
  for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(m[i], 0.0f);
  EXPECT_EQ(m[15], 1.0f);
}
