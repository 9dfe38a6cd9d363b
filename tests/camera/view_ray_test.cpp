// The canvas point under a pixel, and the wheel's zoom and pan, on cameras
// worked out by hand and as properties over seeded random poses, checked
// against what GLU's own matrices project.

#include "camera/view_ray.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>

#include "tests/support/gl_window.h"
#include "tests/support/near.h"

namespace {

struct Window {
  int width, height;
};

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
  struct Case {
    const char* name;
    CameraPose pose;
    Window window;
    int x, y;
    std::optional<Vec4> expected;
  };
  const Case cases[] = {
      {"start", CameraPose(), {600, 600}, 449, 149, Vec4(0.489112f, 0.492384f, 0, 0)},
      {"wide window", CameraPose(), {900, 400}, 0, 399, Vec4(-2.205911f, -0.979042f, 0, 0)},
      {"moved", moved, {600, 600}, 449, 149, Vec4(0.201399f, 0.202746f, 0, 0)},
      {"pitched, below the horizon",
       pitched,
       {600, 600},
       300,
       599,
       Vec4(0.002838f, 2.949402f, 0, 0)},
      {"pitched, the horizon", pitched, {600, 600}, 300, 0, std::nullopt},
      {"turned away", away, {600, 600}, 300, 300, std::nullopt},
      {"no window", CameraPose(), {0, 600}, 0, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Vec4> point =
        CanvasPointUnderPixel(c.pose, c.window.width, c.window.height, c.x, c.y);
    ASSERT_EQ(point.has_value(), c.expected.has_value());
    if (point) {
      EXPECT_TRUE(Near(*point, *c.expected, 2e-6));
    }
  }
}

// Poses a person reaches with the camera keys: turned about each axis and
// moved, with a field of view the 7 and 9 keys allow.
CameraPose RandomPose(std::mt19937& random) {
  std::uniform_real_distribution<float> turn(-50.0f, 50.0f), move(-1.5f, 1.5f), fovy(10.0f, 120.0f);
  Camera camera;
  for (int axis = 1; axis <= 3; ++axis) camera.RotatePoints(turn(random), axis);
  camera.MovePoints(move(random), move(random), move(random));
  camera.fovy = fovy(random);
  return camera;
}

Window RandomWindow(std::mt19937& random) {
  return {std::uniform_int_distribution<int>(1, 1600)(random),
          std::uniform_int_distribution<int>(1, 1200)(random)};
}

// Where GL draws a canvas point: gluProject through the matrices
// gluPerspective and gluLookAt make, in GLUT's pixels (origin top-left).
struct Drawn {
  double x, y;
};
Drawn DrawnAt(const CameraPose& pose, Window window, const Vec4& point) {
  Camera camera;
  static_cast<CameraPose&>(camera) = pose;
  camera.width = window.width;
  camera.height = window.height;
  GLdouble projection[16], modelView[16];
  camera.LoadProjection(projection);
  camera.LookAt();
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  const GLint viewport[4] = {0, 0, window.width, window.height};
  double x = 0, y = 0, z = 0;
  gluProject(point.x, point.y, point.z, modelView, projection, viewport, &x, &y, &z);
  return {x, window.height - y};
}

TEST(ViewRay, ThePointUnderAPixelIsDrawnAtItsCentreForAnyPoseAndWindow) {
  EnsureHiddenGlWindow();
  std::mt19937 random(26);
  int hits = 0;
  for (int i = 0; i < 500; ++i) {
    const CameraPose pose = RandomPose(random);
    const Window window = RandomWindow(random);
    const int x = std::uniform_int_distribution<int>(0, window.width - 1)(random);
    const int y = std::uniform_int_distribution<int>(0, window.height - 1)(random);
    SCOPED_TRACE(testing::Message() << "case " << i << ", pixel " << x << ", " << y << " of "
                                    << window.width << " × " << window.height);
    const std::optional<Vec4> point =
        CanvasPointUnderPixel(pose, window.width, window.height, x, y);
    if (!point) continue;
    ++hits;
    const Drawn drawn = DrawnAt(pose, window, *point);
    EXPECT_NEAR(drawn.x, x + 0.5, 0.01);
    EXPECT_NEAR(drawn.y, y + 0.5, 0.01);
  }
  EXPECT_GT(hits, 300) << "most rays of cameras that face the canvas meet it";
}

TEST(ViewRay, ZoomKeepsThePointUnderThePointerAndNotchesUndoEachOther) {
  EnsureHiddenGlWindow();
  std::mt19937 random(4);
  int free = 0;
  for (int i = 0; i < 300; ++i) {
    const CameraPose pose = RandomPose(random);
    const Window window = RandomWindow(random);
    const int x = std::uniform_int_distribution<int>(0, window.width - 1)(random);
    const int y = std::uniform_int_distribution<int>(0, window.height - 1)(random);
    const int notches = std::uniform_int_distribution<int>(1, 3)(random);
    SCOPED_TRACE(testing::Message() << "case " << i << ", " << notches << " notches");
    const std::optional<Vec4> under =
        CanvasPointUnderPixel(pose, window.width, window.height, x, y);
    if (!under) continue;
    const CameraPose in = ZoomedAtPixel(pose, window.width, window.height, x, y, notches);
    const Drawn drawn = DrawnAt(in, window, *under);
    EXPECT_NEAR(drawn.x, x + 0.5, 0.01);
    EXPECT_NEAR(drawn.y, y + 0.5, 0.01);
    // Each notch leaves 85 % of the way, unless the near plane holds the
    // camera back; notches away undo notches towards.
    const double left = (in.eye - *under).Length() / (pose.eye - *under).Length();
    EXPECT_LE(left, 1.0 + 1e-6);
    if (std::fabs(left - std::pow(0.85, notches)) > 1e-4) continue;
    ++free;
    const CameraPose out = ZoomedAtPixel(in, window.width, window.height, x, y, -notches);
    EXPECT_TRUE(Near(out.eye, pose.eye, 1e-4 * (1 + (pose.eye - *under).Length())));
  }
  EXPECT_GT(free, 150);
}

TEST(ViewRay, HandWorkedZoomAndPanOfTheStartCamera) {
  // A notch at the centre takes 15 % of the way to the canvas; a pan step
  // is a tenth of the 1.96299 the view shows from 1.7 away.
  struct Case {
    const char* name;
    CameraPose from, pose;
    Vec4 eye;
  };
  const CameraPose start;
  const CameraPose away{Vec4(0, 0, 1, 0), Vec4(0, 1, 1, 0), Vec4(-1, 0, 1, 0), Vec4(0, 0, 2, 0)};
  const Case cases[] = {
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(Near(c.pose.eye, c.eye, 2e-6));
    EXPECT_TRUE(Near(c.pose.target - c.pose.eye, c.from.target - c.from.eye, 1e-6)) << "not turned";
  }
}

}  // namespace
