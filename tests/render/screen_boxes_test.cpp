// Where strokes land: screen boxes meet when they share an edge, and the
// index of stroke boxes finds the strokes that testing each one finds.
#include "render/screen_boxes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/random.h"
#include "render/stroke_index.h"

namespace {

// Column-major matrices as the GL keeps them: a perspective of `fovy`
// degrees, and a camera at `eye` looking at the origin, up along y.
void Perspective(double fovy, double aspect, double zNear, double zFar, double* m) {
  const double f = 1 / std::tan(fovy * M_PI / 360);
  for (int i = 0; i < 16; ++i) m[i] = 0;
  m[0] = f / aspect;
  m[5] = f;
  m[10] = (zFar + zNear) / (zNear - zFar);
  m[11] = -1;
  m[14] = 2 * zFar * zNear / (zNear - zFar);
}

void LookAtOrigin(const double (&eye)[3], double* m) {
  double forward[3] = {-eye[0], -eye[1], -eye[2]};
  const double length = std::sqrt(forward[0] * forward[0] + forward[1] * forward[1] +
                                  forward[2] * forward[2]);
  for (double& c : forward) c /= length;
  const double up[3] = {0, 1, 0};
  double side[3] = {forward[1] * up[2] - forward[2] * up[1], forward[2] * up[0] - forward[0] * up[2],
                    forward[0] * up[1] - forward[1] * up[0]};
  const double sideLength = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
  for (double& c : side) c /= sideLength;
  const double trueUp[3] = {side[1] * forward[2] - side[2] * forward[1],
                            side[2] * forward[0] - side[0] * forward[2],
                            side[0] * forward[1] - side[1] * forward[0]};
  for (int i = 0; i < 3; ++i) {
    m[i * 4 + 0] = side[i];
    m[i * 4 + 1] = trueUp[i];
    m[i * 4 + 2] = -forward[i];
    m[i * 4 + 3] = 0;
  }
  for (int r = 0; r < 3; ++r) {
    const double* axis = r == 0 ? side : r == 1 ? trueUp : forward;
    const double dot = axis[0] * eye[0] + axis[1] * eye[1] + axis[2] * eye[2];
    m[12 + r] = r == 2 ? dot : -dot;
  }
  m[15] = 1;
}

}  // namespace

// Boxes meet when they overlap or share an edge or a corner (edges are
// pixels that belong to the box); an empty box meets nothing.
TEST(ScreenBoxes, MeetOnSharedEdgesAndCorners) {
  auto Box = [](double x0, double y0, double x1, double y1) {
    ScreenBox box;
    box.Add(x0, y0);
    box.Add(x1, y1);
    return box;
  };
  const ScreenBox middle = Box(10, 10, 20, 20);
  const struct {
    ScreenBox other;
    bool meets;
    const char* what;
  } cases[] = {
      {Box(15, 15, 30, 30), true, "overlapping"},
      {Box(20, 12, 30, 18), true, "touching on the right"},
      {Box(0, 12, 10, 18), true, "touching on the left"},
      {Box(12, 20, 18, 30), true, "touching on the top"},
      {Box(12, 0, 18, 10), true, "touching on the bottom"},
      {Box(20, 20, 25, 25), true, "touching at a corner"},
      {Box(20.5, 12, 30, 18), false, "half a pixel to the right"},
      {Box(12, 0, 18, 9.5), false, "half a pixel below"},
      {ScreenBox(), false, "empty"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(middle.Meets(c.other), c.meets) << c.what;
    EXPECT_EQ(c.other.Meets(middle), c.meets) << c.what << ", the other way round";
  }
}

// On random canvases (strokes deleted, strokes drawing nothing, strokes
// nested in others) and through cameras far, near and inside the
// painting, the index finds exactly the strokes that testing each kept
// box finds, for boxes of every size.
TEST(StrokeIndex, FindsWhatTestingEveryStrokeFinds) {
  RandomGenerator random;
  Canvas canvas;
  StrokeIndex index;
  const int viewport[4] = {0, 0, 675, 675};
  std::uint64_t revision = 0;
  for (int count : {0, 1, 7, 300}) {
    canvas.count = count;
    for (int slot = 0; slot < count; ++slot) {
      Stroke& stroke = canvas.strokes[slot];
      stroke = Stroke();
      stroke.deleted = random.Unit() < 0.1f;
      if (random.Unit() < 0.05f) continue;  // nothing to draw
      const float x = 2 * random.Unit() - 1, y = 2 * random.Unit() - 1;
      const float w = 0.3f * random.Unit() * random.Unit(), h = 0.3f * random.Unit();
      stroke.reach.whole.Add(x, y, 0);
      stroke.reach.whole.Add(x + w, y + h, 0.05f * random.Unit());
    }
    index.Update(canvas, ++revision);
    const double eyes[][3] = {{0, 0, 1.7}, {1.5, -2, 0.6}, {0.1, 0.2, 0.02}, {0, 0, -3}};
    for (const auto& eye : eyes) {
      double modelView[16], projection[16];
      LookAtOrigin(eye, modelView);
      Perspective(60, 1, 0.1, 1000, projection);
      const ScreenProjection screen(modelView, projection, viewport);
      for (int query = 0; query < 50; ++query) {
        ScreenBox box;
        const double x = 700 * random.Unit() - 10, y = 700 * random.Unit() - 10;
        const double side = query % 2 ? 8 : 300 * random.Unit();
        box.Add(x, y);
        box.Add(x + side, y + side);
        SCOPED_TRACE(testing::Message() << count << " strokes, eye " << eye[0] << " " << eye[1]
                                        << " " << eye[2] << ", query " << query);
        EXPECT_EQ(index.Reaching(screen, box).slots, StrokesReaching(screen, box, canvas).slots);
      }
    }
  }
}
