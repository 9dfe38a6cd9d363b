#include "stroke/mesh.h"

#include <gtest/gtest.h>

#include "stroke/subdivision.h"
#include "tests/support/near.h"

namespace {

// A built-looking stroke of S columns from `startColour` to `endColour`.
Stroke Columns(int s, const Vec4& startColour, const Vec4& endColour) {
  Stroke stroke;
  stroke.shapeResolution = s;
  stroke.size.startColours.assign(s, startColour);
  stroke.size.endColours.assign(s, endColour);
  return stroke;
}

// Two path entries, (0.2, 0.1, 0.05) and (0.4, 0.1, 0.05), perpendicular
// (0.6, 0.8), width 0.1, height 0.5, S = 4 with profile 0, 0.3, 0.7, 0.
// Column j lies c_j × width along the perpendicular, c_j = cos(π + jπ/4) =
// −1, −0.7071068, 0, 0.7071068, and profile_j × height above the path.
// Worked out by hand: row, column, position x, y, z, texture coordinates
// s = 2 × (x − 0.14) / 0.3024264, t = 2 × (y − 0.02) / 0.1365685.
struct GridVertex { int row, column; float x, y, z, s, t; };
constexpr GridVertex kGrid[] = {
    {0, 0, 0.1400000f, 0.0200000f, 0.05f, 0.000000f, 0.000000f},
    {0, 1, 0.1575736f, 0.0434315f, 0.20f, 0.116217f, 0.343146f},
    {0, 2, 0.2000000f, 0.1000000f, 0.40f, 0.396791f, 1.171573f},
    {0, 3, 0.2424264f, 0.1565685f, 0.05f, 0.677364f, 2.000000f},
    {1, 0, 0.3400000f, 0.0200000f, 0.05f, 1.322636f, 0.000000f},
    {1, 1, 0.3575736f, 0.0434315f, 0.20f, 1.438853f, 0.343146f},
    {1, 2, 0.4000000f, 0.1000000f, 0.40f, 1.719427f, 1.171573f},
    {1, 3, 0.4424264f, 0.1565685f, 0.05f, 2.000000f, 2.000000f},
};

Stroke HandStroke() {
  Stroke stroke = Columns(4, Vec4(1.0f, 0.2f, 0.0f, 1.0f), Vec4(0.0f, 0.6f, 1.0f, 1.0f));
  stroke.profile = {0.0f, 0.3f, 0.7f, 0.0f};
  for (float x : {0.2f, 0.4f}) {
    StrokeNode& node = stroke.path.emplace_back();
    node.position = Vec4(x, 0.1f, 0.05f, 0);
    node.perpendicular = Vec4(0.6f, 0.8f, 0, 0);
    node.width = 0.1f, node.height = 0.5f;
  }
  return stroke;
}

// The mesh vertex that stands for grid vertex (row, column): cell j's first
// triangle is (row 1 col j, row 0 col j, row 0 col j + 1), its second
// (row 1 col j, row 0 col j + 1, row 1 col j + 1), cells in column order.
int MeshVertexOf(const Mesh& mesh, int row, int column) {
  const int cell = column < 3 ? column : 2;
  const MeshFace& first = mesh.faces[2 * cell];
  const MeshFace& second = mesh.faces[2 * cell + 1];
  if (column == 3) return row == 0 ? second.vertex[1] : second.vertex[2];
  return row == 0 ? first.vertex[1] : first.vertex[0];
}

TEST(BuildMesh, ColumnsTextureCoordinatesAndColoursOfAHandComputedStroke) {
  Stroke stroke = HandStroke();
  BuildMesh(stroke, 0);
  const Mesh& mesh = *stroke.subdivision.baseMesh;
  ASSERT_EQ(mesh.faceCount, 6);
  ASSERT_EQ(mesh.vertexCount, 18);
  // 1e-6: the hand values are rounded to 7 digits; float rounding of the
  // sums and the cosines stays below 1e-7.
  for (const GridVertex& g : kGrid) {
    SCOPED_TRACE(testing::Message() << "row " << g.row << ", column " << g.column);
    const int v = MeshVertexOf(mesh, g.row, g.column);
    EXPECT_TRUE(Near(mesh.positions[v], Vec4(g.x, g.y, g.z, 0), 1e-6));
    EXPECT_TRUE(Near(mesh.texCoords[v], Vec4(g.s, g.t, 0, 0), 1e-5));
    // Row i of N = 2 has the colour start + (end − start) × i / 2.
    const float along = g.row == 0 ? 0.0f : 0.5f;
    EXPECT_TRUE(Near(mesh.colours[v], Vec4(1.0f - along, 0.2f + 0.4f * along, along, 1), 1e-6));
  }

  // The perpendicular lies left of the path (+x): the columns run the
  // mirror way of a stroke's, and so the normals face up z, not down.
  for (const Vec4& n : mesh.normals) EXPECT_GT(n.z, 0);
  Stroke one = Columns(1, Vec4(1, 0, 0, 1), Vec4(0, 0, 1, 1));
  one.profile = {1.0f};
  one.path = stroke.path;
  BuildMesh(one, 0);
  EXPECT_EQ(one.subdivision.baseMesh->faceCount, 0) << "S = 1 makes no faces";
}

// ---- One level of butterfly subdivision on a small bent mesh whose every
// value is worked out by hand --------------------------------------------------

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

// The new vertices, and the faces split in order around their edge
// vertices, each keeping its old face's normal.
TEST(Butterfly, NewVerticesAndFacesByHand) {
  MeshSubdivision subdivision;
  subdivision.baseMesh = Butterfly();
  subdivision.levels = 1;
  Subdivide(subdivision);
  const Mesh& mesh = *subdivision.resultMesh;
  ASSERT_EQ(mesh.vertexCount, 8 + 13);
  ASSERT_EQ(mesh.faceCount, 24);
  // New vertex of edge e is vertex 8 + e.
  const struct { const char* edge; int vertex; float x, y, z, red, alpha, normalZ; } cases[] = {
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
    EXPECT_TRUE(Near(p, Vec4(c.x, c.y, c.z, 0), 1e-6));
    EXPECT_TRUE(Near(colour, Vec4(c.red, 0.5f, 0.5f, c.alpha), 1e-6));
    EXPECT_NEAR(mesh.normals[c.vertex].z, c.normalZ, 1e-6);
  }
  for (int v = 0; v < 8; ++v) {
    EXPECT_EQ(mesh.positions[v].z, kPosition[v][2]) << "old vertex " << v << " stays";
    EXPECT_EQ(mesh.colours[v].w, kAlpha[v]);
  }
  // Face 0 (a, b, c) = (0, 1, 2): m01 = 8 + ab = 8, m12 = 8 + bc = 9,
  // m20 = 8 + ca = 10. Face 1 (b, a, d) = (1, 0, 3): m01 = 8 + ab = 8,
  // m12 = 8 + ad = 11, m20 = 8 + db = 12.
  const int expected[8][3] = {{0, 8, 10}, {8, 1, 9},  {10, 9, 2},  {8, 9, 10},
                              {1, 8, 12}, {8, 0, 11}, {12, 11, 3}, {8, 11, 12}};
  for (int f = 0; f < 8; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(std::vector<int>(mesh.faces[f].vertex, mesh.faces[f].vertex + 3),
              std::vector<int>(expected[f], expected[f] + 3));
    EXPECT_EQ(mesh.faces[f].normal.z, f / 4 + 10.0f) << "the old face's normal";
  }
}

}  // namespace
