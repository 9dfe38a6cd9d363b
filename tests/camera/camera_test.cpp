#include "camera/camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/console.h"
#include "tests/support/gl_window.h"
#include "tests/support/near.h"

namespace {

Camera Initialised(std::string* output = nullptr) {
  EnsureHiddenGlWindow();
  Camera camera;
  Light light;
  const std::string printed = Printed([&] { camera.Init(light); });
  if (output) *output = printed;
  return camera;
}

TEST(Camera, RotationsFromTheInitialPoseAboutSideAndUpAxes) {
  std::string output;
  Camera camera = Initialised(&output);
  EXPECT_EQ(output, "\tCAMERA: Initialising...\n");
  camera.RotatePoints(90, 1);  // from eye (0, 0, 1.7) looking down -z with y up
  EXPECT_TRUE(Near(camera.eye, Vec4(0, 0, 1.7f, 0), 1e-5));
  EXPECT_TRUE(Near(camera.sidePoint, Vec4(1, 0, 1.7f, 0), 1e-5));
  EXPECT_TRUE(Near(camera.target, Vec4(0, 1, 1.7f, 0), 1e-5));
  EXPECT_TRUE(Near(camera.upPoint, Vec4(0, 0, 2.7f, 0), 1e-5));
  Camera other = Initialised();
  other.RotatePoints(90, 2);
  EXPECT_TRUE(Near(other.target, Vec4(-1, 0, 1.7f, 0), 1e-5));
}

TEST(Camera, MovesInCameraAxesAndSpinKeys) {
  Camera camera = Initialised();
  for (int i = 0; i < 20; ++i) camera.MovePoints(0, 0, -0.05f);
  EXPECT_TRUE(Near(camera.eye, Vec4(0, 0, 0.7f, 0), 1e-5));
  Light light;
  light.rotation[1] = 0.5f;
  auto press = [&](unsigned char k) { return HandleCameraKey(camera, light, k); };
  EXPECT_TRUE(press('8'));
  EXPECT_TRUE(press('4'));
  EXPECT_EQ(camera.spin[0], 1);
  Quietly([&] { EXPECT_TRUE(press('R')); });
  EXPECT_EQ(camera.spin[1], 1) << "a reset keeps the spin";
  EXPECT_TRUE(Near(camera.eye, Vec4(0, 0, 1.7f, 0), 1e-6));
  EXPECT_EQ(light.rotation[1], 0.0f) << "a reset puts the light back";
  EXPECT_EQ(light.position[2], -1.7f);
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
