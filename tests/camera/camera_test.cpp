#include "camera/camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/console.h"
#include "tests/support/gl_window.h"
#include "tests/support/near.h"

namespace {

Camera Initialised() {
  EnsureHiddenGlWindow();
  Camera camera;
  Light light;
  EXPECT_EQ(Printed([&] { camera.Init(light); }), "\tCAMERA: Initialising...\n");
  return camera;
}

// From eye (0, 0, 1.7) looking down −z with y up, a quarter turn about the
// side axis (1) or the up axis (2).
TEST(Camera, RotationsFromTheInitialPoseAboutSideAndUpAxes) {
  Camera side = Initialised(), up = Initialised();
  side.RotatePoints(90, 1);
  up.RotatePoints(90, 2);
  const std::pair<Vec4, Vec4> points[] = {
      {side.eye, Vec4(0, 0, 1.7f, 0)},    {side.sidePoint, Vec4(1, 0, 1.7f, 0)},
      {side.target, Vec4(0, 1, 1.7f, 0)}, {side.upPoint, Vec4(0, 0, 2.7f, 0)},
      {up.target, Vec4(-1, 0, 1.7f, 0)}};
  for (const auto& [got, expected] : points) EXPECT_TRUE(Near(got, expected, 1e-5));
}

TEST(Camera, MovesInCameraAxesAndSpinKeys) {
  Camera camera = Initialised();
  for (int i = 0; i < 20; ++i) camera.MovePoints(0, 0, -0.05f);
  EXPECT_TRUE(Near(camera.eye, Vec4(0, 0, 0.7f, 0), 1e-5));
  Light light;
  light.rotation[1] = 0.5f;
  auto press = [&](unsigned char k) { return HandleCameraKey(camera, light, k); };
  EXPECT_TRUE(press('8') && press('4'));
  EXPECT_EQ(camera.spin[0], 1);
  Quietly([&] { EXPECT_TRUE(press('R')); });
  EXPECT_EQ(camera.spin[1], 1) << "a reset keeps the spin";
  EXPECT_TRUE(Near(camera.eye, Vec4(0, 0, 1.7f, 0), 1e-6));
  EXPECT_EQ(std::make_pair(light.rotation[1], light.position[2]), std::make_pair(0.0f, -1.7f))
      << "a reset puts the light back";
  EXPECT_TRUE(press('5'));
  EXPECT_EQ(camera.spin[0] + camera.spin[1] + camera.spin[2], 0);
  EXPECT_FALSE(press('x'));

  // 7 widens the view by a degree, 9 narrows it; the projection follows at
  // once: its y scale is cot(fovy / 2), cot(30.5°) = 1.6976631 at 61°,
  // cot(29.5°) = 1.7674940 at 59°.
  for (const auto& [key, presses, scale] : {std::tuple{'7', 1, 1.6976631}, {'9', 2, 1.7674940}}) {
    SCOPED_TRACE(key);
    for (int i = 0; i < presses; ++i) HandleCameraKey(camera, light, key);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5], scale, 1e-6);
  }
}

}  // namespace
