// One level of butterfly subdivision on a small bent mesh whose every value
// is worked out by hand.
#include <gtest/gtest.h>

#include "stroke/mesh.h"
#include "stroke/subdivision.h"

namespace {

// Eight vertices, six faces, counter-clockwise from +z:
//
//        w1 ------ c ------ w2          0 a ( 0,    0,  0.1)   4 w1 (−0.5,  1,  0.8)
//          \  f2  / \  f3  /            1 b ( 1,    0,  0.2)   5 w2 ( 1.5,  1, −0.6)
//           \    / f0\    /             2 c ( 0.5,  1,  0.4)   6 w3 (−0.5, −1,  0.5)
//            a ---------- b             3 d ( 0.5, −1, −0.3)   7 w4 ( 1.5, −1,  1.0)
//           /    \ f1/    \             f0 (a, b, c)   f1 (b, a, d)   f2 (a, c, w1)
//          /  f4  \ /  f5  \            f3 (c, b, w2)  f4 (a, w3, d)  f5 (d, w4, b)
//        w3 ------ d ------ w4
//
// Edges in order of first appearance: 0 ab, 1 bc, 2 ca, 3 ad, 4 db, 5 c-w1,
// 6 w1-a, 7 b-w2, 8 w2-c, 9 a-w3, 10 w3-d, 11 d-w4, 12 w4-b. Only edge ab
// has a complete stencil (near vertices c, d; wings w1, w2, w3, w4); every
// other edge lies on the rim or next to it.
constexpr float kPosition[8][3] = {{0, 0, 0.1f},      {1, 0, 0.2f},     {0.5f, 1, 0.4f},
                                   {0.5f, -1, -0.3f}, {-0.5f, 1, 0.8f}, {1.5f, 1, -0.6f},
                                   {-0.5f, -1, 0.5f}, {1.5f, -1, 1.0f}};
constexpr float kRed[8] = {0.2f, 0.6f, 0.9f, 0.1f, 0.3f, 0.8f, 0.4f, 0.0f};
constexpr float kAlpha[8] = {1.0f, 0.5f, 0.3f, 0.7f, 0.2f, 0.9f, 0.6f, 0.4f};
constexpr int kFaces[6][3] = {{0, 1, 2}, {1, 0, 3}, {0, 2, 4}, {2, 1, 5}, {0, 6, 3}, {3, 7, 1}};

Mesh Butterfly() {
  Mesh mesh;
  AllocateVertices(mesh, 8);
  for (int v = 0; v < 8; ++v) {
    mesh.positions[v] = Vec4(kPosition[v][0], kPosition[v][1], kPosition[v][2], 0);
    mesh.colours[v] = Vec4(kRed[v], 0.5f, 0.5f, kAlpha[v]);
    mesh.normals[v] = Vec4(0, 0, static_cast<float>(v + 1), 0);
  }
  AllocateFaces(mesh, 6);
  for (int f = 0; f < 6; ++f)
    mesh.faces[f] = MeshFace{{kFaces[f][0], kFaces[f][1], kFaces[f][2]}, Vec4(0, 0, f + 10.0f, 0)};
  return mesh;
}

Mesh OneLevel() {
  MeshSubdivision subdivision;
  subdivision.baseMesh = Butterfly();
  subdivision.levels = 1;
  Subdivide(subdivision);
  return *subdivision.resultMesh;
}

TEST(Butterfly, NewVerticesByHand) {
  const Mesh mesh = OneLevel();
  ASSERT_EQ(mesh.vertexCount, 8 + 13);
  ASSERT_EQ(mesh.faceCount, 24);
  // New vertex of edge e is vertex 8 + e.
  const struct {
    const char* edge;
    int vertex;
    float x, y, z, red, alpha, normalZ;
  } cases[] = {
      // ab, the full stencil: (a + b)/2 + (c + d)/8 − (w1 + w2 + w3 + w4)/16.
      //   x: 0.5 + 0.125 − 2/16 = 0.5        y: 0 + 0 − 0 = 0
      //   z: 0.15 + 0.1/8 − 1.7/16 = 0.05625
      //   red: 0.4 + 1.0/8 − 1.5/16 = 0.43125   alpha: 0.75 + 1.0/8 − 2.1/16 = 0.74375
      //   normal z: 1.5 + 7/8 − 26/16 = 0.75
      {"ab", 8, 0.5f, 0.0f, 0.05625f, 0.43125f, 0.74375f, 0.75f},
      // bc: its wing beyond b–w2 has no outer face, so the plain midpoint.
      {"bc", 9, 0.75f, 0.5f, 0.3f, 0.75f, 0.4f, 2.5f},
      // ca: the same beyond c–w1.
      {"ca", 10, 0.25f, 0.5f, 0.25f, 0.55f, 0.65f, 2.0f},
      // c–w1: a rim edge with one face, the midpoint.
      {"c-w1", 13, 0.0f, 1.0f, 0.6f, 0.6f, 0.25f, 4.0f},
  };
  // 1e-6: a few float additions of values below 2.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edge);
    const Vec4 &p = mesh.positions[c.vertex], &colour = mesh.colours[c.vertex];
    EXPECT_NEAR(p.x, c.x, 1e-6);
    EXPECT_NEAR(p.y, c.y, 1e-6);
    EXPECT_NEAR(p.z, c.z, 1e-6);
    EXPECT_NEAR(colour.x, c.red, 1e-6);
    EXPECT_NEAR(colour.y, 0.5f, 1e-6);
    EXPECT_NEAR(colour.w, c.alpha, 1e-6);
    EXPECT_NEAR(mesh.normals[c.vertex].z, c.normalZ, 1e-6);
  }
  for (int v = 0; v < 8; ++v) {
    EXPECT_EQ(mesh.positions[v].z, kPosition[v][2]) << "old vertex " << v << " stays";
    EXPECT_EQ(mesh.colours[v].w, kAlpha[v]);
  }
}

TEST(Butterfly, FacesSplitInOrderAroundTheirEdgeVertices) {
  const Mesh mesh = OneLevel();
  // Face 0 (a, b, c) = (0, 1, 2): m01 = 8 + ab = 8, m12 = 8 + bc = 9,
  // m20 = 8 + ca = 10. Face 1 (b, a, d) = (1, 0, 3): m01 = 8 + ab = 8,
  // m12 = 8 + ad = 11, m20 = 8 + db = 12.
  const int expected[8][3] = {{0, 8, 10}, {8, 1, 9},  {10, 9, 2},  {8, 9, 10},
                              {1, 8, 12}, {8, 0, 11}, {12, 11, 3}, {8, 11, 12}};
  for (int f = 0; f < 8; ++f) {
    SCOPED_TRACE(f);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(mesh.faces[f].vertex[k], expected[f][k]);
    EXPECT_EQ(mesh.faces[f].normal.z, f / 4 + 10.0f) << "the old face's normal";
  }
}

}  // namespace
