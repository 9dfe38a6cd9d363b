// Arcball maths: the hand-computable cases first, then invariants over many
// seeded random turns.
#include "glui/arcball.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace arcball;

// One pixel from the centre turns about 1.15 degrees whichever way; a drag
// to the right across the centre turns about +y; a point outside the ball
// goes onto its rim (radius 500 here). A turn scaled down keeps its axis.
// 90° about z is column-major (x goes to y in the first column); a further
// 90° about x applied on the viewer's side sends the model's x axis to z.
TEST(Arcball, HandWorkedPointsTurnsAndMatrices) {
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
  const Quat turn = TurnBetween(SpherePoint(0, 0), SpherePoint(20, 10));
  const Quat half = ScaleAngle(turn, 0.5f);
  EXPECT_NEAR(AngleDegrees(half), AngleDegrees(turn) / 2, 1e-3);
  EXPECT_NEAR(half.x * turn.y - half.y * turn.x, 0, 1e-6);
  EXPECT_GT(half.x * turn.x + half.y * turn.y + half.z * turn.z, 0);
  const float s = std::sin(3.14159265f / 4), c = std::cos(3.14159265f / 4);
  float m[16];
  ToMatrix({0, 0, s, c}, m);
  const float quarterAboutZ[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], quarterAboutZ[i], 1e-6) << i;
  TurnOnViewerSide({s, 0, 0, c}, m);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(m[i], i == 2, 1e-6) << i;
}

// Orthonormalize after every turn keeps the float matrix a rotation with
// orthonormal columns (the drift of 20000 turns without it is well past
// the tolerance).
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
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      EXPECT_NEAR(m[a * 4] * m[b * 4] + m[a * 4 + 1] * m[b * 4 + 1] + m[a * 4 + 2] * m[b * 4 + 2],
                  a == b, 1e-5f)
          << a << "," << b;
  for (int i : {3, 7, 11, 12, 13, 14}) EXPECT_EQ(m[i], 0.0f);
  EXPECT_EQ(m[15], 1.0f);
}
