// The camera's moves, turns and keys; the canvas point under a pixel where
// the ray grazes or misses the canvas, and the wheel's zoom and pan, on
// cameras worked out by hand. That GL draws the point on the pixel, for any
// pose and window, and that zooming keeps it there, is tested through the
// main view's input (tests/app/input_test.cpp).
#include "camera/camera.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "camera/view_ray.h"
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

// Near and past the horizon, turned away, without a window.
TEST(ViewRay, CanvasPointsWhereTheRayGrazesOrMissesTheCanvas) {
  CameraPose pitched;  // turned up a quarter: looking along the canvas, up along +z
  pitched.target = Vec4(0, 1, 1.7f, 0);
  pitched.upPoint = Vec4(0, 0, 2.7f, 0);
  CameraPose away;  // turned round: looking away from the canvas
  away.target = Vec4(0, 0, 2.7f, 0);
  const std::optional<Vec4> grazing = CanvasPointUnderPixel(pitched, 600, 600, 300, 599);
  ASSERT_TRUE(grazing);
  EXPECT_TRUE(Near(*grazing, Vec4(0.002838f, 2.949402f, 0, 0), 2e-6));
  EXPECT_FALSE(CanvasPointUnderPixel(pitched, 600, 600, 300, 0)) << "the horizon";
  EXPECT_FALSE(CanvasPointUnderPixel(away, 600, 600, 300, 300));
  EXPECT_FALSE(CanvasPointUnderPixel(CameraPose(), 0, 600, 0, 0)) << "no window";
}

TEST(ViewRay, HandWorkedZoomAndPanOfTheStartCamera) {
  // A notch at the centre takes 15 % of the way to the canvas; a pan step
  // is a tenth of the 1.96299 the view shows from 1.7 away.
  const CameraPose start;
  const CameraPose away{Vec4(0, 0, 1, 0), Vec4(0, 1, 1, 0), Vec4(-1, 0, 1, 0), Vec4(0, 0, 2, 0)};
  const struct { const char* name; CameraPose from, pose; Vec4 eye; } cases[] = {
      {"zoom in", start, ZoomedAtPixel(start, 600, 600, 300, 300, 1),
       Vec4(0.000245f, -0.000245f, 1.445f, 0)},
      {"zoom out", start, ZoomedAtPixel(start, 600, 600, 300, 300, -1),
       Vec4(-0.000289f, 0.000289f, 2.0f, 0)},
      {"pan right", start, PannedBySteps(start, 600, 600, 1, 0), Vec4(0.196299f, 0, 1.7f, 0)},
      {"pan down in a wide window", start, PannedBySteps(start, 900, 400, 0, -2),
       Vec4(0, -0.392598f, 1.7f, 0)},
      // A ray that misses the canvas: along the view axis, 15 % of the height.
      {"zoom, looking away", away, ZoomedAtPixel(away, 600, 600, 300, 300, 1),
       Vec4(0, 0, 1.15f, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(Near(c.pose.eye, c.eye, 2e-6));
    EXPECT_TRUE(Near(c.pose.target - c.pose.eye, c.from.target - c.from.eye, 1e-6)) << "not turned";
  }
}

}  // namespace
