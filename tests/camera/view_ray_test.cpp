// The canvas point under a pixel, and the wheel's zoom and pan, on cameras
// worked out by hand. That GL draws the point on the pixel, for any pose and
// window, and that zooming keeps it there, is tested through the main
// view's input (tests/app/input_test.cpp).

#include "camera/view_ray.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/near.h"

namespace {

TEST(ViewRay, CanvasPointsUnderPixelsOfHandWorkedCameras) {
  // The start camera sees 1.7 · tan 30° = 0.981495 either side of the
  // centre vertically, times the aspect horizontally; a pixel stands for
  // its centre.
  CameraPose moved;  // 20 steps forward: 0.7 from the canvas
  for (Vec4* p : {&moved.eye, &moved.upPoint, &moved.sidePoint, &moved.target}) p->z -= 1.0f;
  CameraPose pitched;  // turned up a quarter: looking along the canvas, up along +z
  pitched.target = Vec4(0, 1, 1.7f, 0);
  pitched.upPoint = Vec4(0, 0, 2.7f, 0);
  CameraPose away;  // turned round: looking away from the canvas
  away.target = Vec4(0, 0, 2.7f, 0);
  // The window's width and height, the pixel, the point (none: no point).
  const struct {
    const char* name;
    CameraPose pose;
    int width, height, x, y;
    std::optional<Vec4> expected;
  } cases[] = {
      {"start", CameraPose(), 600, 600, 449, 149, Vec4(0.489112f, 0.492384f, 0, 0)},
      {"wide window", CameraPose(), 900, 400, 0, 399, Vec4(-2.205911f, -0.979042f, 0, 0)},
      {"moved", moved, 600, 600, 449, 149, Vec4(0.201399f, 0.202746f, 0, 0)},
      {"pitched, below the horizon", pitched, 600, 600, 300, 599, Vec4(0.002838f, 2.949402f, 0, 0)},
      {"pitched, the horizon", pitched, 600, 600, 300, 0, std::nullopt},
      {"turned away", away, 600, 600, 300, 300, std::nullopt},
      {"no window", CameraPose(), 0, 600, 0, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Vec4> point = CanvasPointUnderPixel(c.pose, c.width, c.height, c.x, c.y);
    ASSERT_EQ(point.has_value(), c.expected.has_value());
    EXPECT_TRUE(!point || Near(*point, *c.expected, 2e-6));
  }
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
