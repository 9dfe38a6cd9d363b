// Where strokes land: the scene box of a stroke holds everything it draws
// and nothing else, and screen boxes meet when they share an edge.
#include "render/screen_boxes.h"

#include <gtest/gtest.h>

namespace {

void ExpectBox(const SceneBox& box, const float (&lo)[3], const float (&hi)[3]) {
  for (int k = 0; k < 3; ++k) {
    EXPECT_FLOAT_EQ(box.lo[k], lo[k]) << "axis " << k;
    EXPECT_FLOAT_EQ(box.hi[k], hi[k]) << "axis " << k;
  }
}

// The bounds corners of a stroke, inside what the rest spans.
void BoundsInside(Stroke& stroke, float x, float y) {
  for (Vec4& corner : stroke.bounds) corner = Vec4(x, y, 0, 0);
}

}  // namespace

// A particle is drawn as a square of half-side twice its size, whatever
// the size's sign: the box reaches the outermost quads' edges.
TEST(StrokeBox, ParticlesReachTheEdgesOfTheirQuads) {
  Stroke stroke;
  BoundsInside(stroke, 0.1f, 0.1f);
  stroke.particles.positions = {Vec4(0.0f, 0.0f, 0.01f, 0), Vec4(0.5f, 0.25f, 0.01f, 0)};
  stroke.particles.sizes = {0.05f, -0.1f};
  // Left and bottom: the first quad (half-side 0.1); right and top: the
  // second (half-side 0.2); the bounds' z of 0.01 with the particles'.
  ExpectBox(BoxOfStroke(stroke), {-0.1f, -0.1f, 0.01f}, {0.7f, 0.45f, 0.01f});
}

// A mesh's box is its vertices' and no more: storage past the vertex count
// (kept from a larger mesh, say) is not part of it.
TEST(StrokeBox, AMeshCountsItsVerticesOnly) {
  Stroke stroke;
  BoundsInside(stroke, 0.0f, 0.0f);
  Mesh mesh;
  mesh.positions.resize(4);
  mesh.positions[0] = Vec4(-0.25f, 0.5f, 0.0f, 1);
  mesh.positions[1] = Vec4(0.75f, -0.5f, 0.125f, 1);
  mesh.positions[2] = Vec4(0.0f, 0.0f, 0.0625f, 1);
  mesh.positions[3] = Vec4(9.0f, 9.0f, 9.0f, 1);  // past the count
  mesh.vertexCount = 3;
  stroke.subdivision.baseMesh = mesh;
  ExpectBox(BoxOfStroke(stroke), {-0.25f, -0.5f, 0.0f}, {0.75f, 0.5f, 0.125f});
}

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
