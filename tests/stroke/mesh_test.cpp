#include "stroke/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>

#include "stroke/subdivision.h"
#include "tests/support/fingerprint.h"

namespace {

// A built-looking stroke: `entries` path points along a direction, S
// columns with a raised profile.
Stroke FlatStroke(int entries, int s, float dx, float dy) {
  Stroke stroke;
  stroke.shapeResolution = s;
  stroke.profile.assign(s, 0.0f);
  for (int j = 1; j + 1 < s; ++j) stroke.profile[j] = 1.0f;
  stroke.size.startColours.assign(s, Vec4(1, 0, 0, 1));
  stroke.size.endColours.assign(s, Vec4(0, 0, 1, 1));
  const float length = std::sqrt(dx * dx + dy * dy);
  stroke.path.resize(entries);
  for (int i = 0; i < entries; ++i) {
    stroke.path[i].position = Vec4(i * dx, i * dy, 0, 0);
    stroke.path[i].perpendicular = Vec4(dy / length, -dx / length, 0, 0);
    stroke.path[i].width = 0.04f, stroke.path[i].height = 0.0f;  // flat: every vertex on z = 0
  }
  return stroke;
}

// Two path entries, (0.2, 0.1, 0.05) and (0.4, 0.1, 0.05), perpendicular
// (0.6, 0.8), width 0.1, height 0.5, S = 4 with profile 0, 0.3, 0.7, 0.
// Column j lies c_j × width along the perpendicular, c_j = cos(π + jπ/4) =
// −1, −0.7071068, 0, 0.7071068, and profile_j × height above the path.
// Worked out by hand:
struct GridVertex {
  int row, column;
  float x, y, z;  // position
  float s, t;     // 2 × (x − 0.14) / 0.3024264, 2 × (y − 0.02) / 0.1365685
};
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
  Stroke stroke;
  stroke.shapeResolution = 4;
  stroke.profile = {0.0f, 0.3f, 0.7f, 0.0f};
  stroke.size.startColours.assign(4, Vec4(1.0f, 0.2f, 0.0f, 1.0f));
  stroke.size.endColours.assign(4, Vec4(0.0f, 0.6f, 1.0f, 1.0f));
  for (float x : {0.2f, 0.4f}) {
    StrokeNode node;
    node.position = Vec4(x, 0.1f, 0.05f, 0);
    node.perpendicular = Vec4(0.6f, 0.8f, 0, 0);
    node.width = 0.1f, node.height = 0.5f;
    stroke.path.push_back(node);
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
    EXPECT_NEAR(mesh.positions[v].x, g.x, 1e-6);
    EXPECT_NEAR(mesh.positions[v].y, g.y, 1e-6);
    EXPECT_NEAR(mesh.positions[v].z, g.z, 1e-6);
    EXPECT_NEAR(mesh.texCoords[v].x, g.s, 1e-5);
    EXPECT_NEAR(mesh.texCoords[v].y, g.t, 1e-5);
    // Row i of N = 2 has the colour start + (end − start) × i / 2.
    const float along = g.row == 0 ? 0.0f : 0.5f;
    EXPECT_FLOAT_EQ(mesh.colours[v].x, 1.0f - along);
    EXPECT_FLOAT_EQ(mesh.colours[v].y, 0.2f + 0.4f * along);
    EXPECT_FLOAT_EQ(mesh.colours[v].z, along);
  }

  Stroke wide = FlatStroke(2, 5, 0.1f, 0.0f);
  BuildMesh(wide, 0);
  EXPECT_EQ(
      std::make_pair(wide.subdivision.baseMesh->vertexCount, wide.subdivision.baseMesh->faceCount),
      std::make_pair(24, 8));
  Stroke one = FlatStroke(4, 1, 0.1f, 0.0f);
  BuildMesh(one, 0);
  EXPECT_EQ(one.subdivision.baseMesh->faceCount, 0) << "S = 1 makes no faces";
}

TEST(BuildMesh, FlatStrokeNormalsPointDownZWhicheverWayDrawn) {
  for (const auto& [dx, dy] :
       {std::pair{0.1f, 0.0f}, {-0.1f, 0.0f}, {0.0f, 0.1f}, {0.07f, -0.07f}}) {
    SCOPED_TRACE(testing::Message() << dx << "," << dy);
    Stroke stroke = FlatStroke(6, 5, dx, dy);
    BuildMesh(stroke, 0);
    for (const Vec4& n : stroke.subdivision.baseMesh->normals)
      ASSERT_TRUE(n.x == 0 && n.y == 0 && n.z < 0);
    for (const Vec4& t : stroke.subdivision.baseMesh->texCoords)
      ASSERT_TRUE(std::isfinite(t.x) && std::isfinite(t.y));
  }
}

// Subdivision written from its definition, with the edge table searched
// linearly; the real one indexes edges by vertex pair.
struct PlainTable {
  LargeArray<IndexPair> edges, faces;
  int Find(int a, int b) const {
    for (std::size_t e = 0; e < edges.size(); ++e)
      if ((edges[e][0] == a && edges[e][1] == b) || (edges[e][0] == b && edges[e][1] == a))
        return int(e);
    return -1;
  }
};

Mesh PlainLevel(const Mesh& cur) {
  PlainTable t;
  for (int f = 0; f < cur.faceCount; ++f)
    for (int k = 0; k < 3; ++k) {
      const int a = cur.faces[f].vertex[k], b = cur.faces[f].vertex[(k + 1) % 3];
      const int e = t.Find(a, b);
      if (e >= 0) {
        t.faces[e][1] = f;
      } else {
        t.edges.push_back({a, b});
        t.faces.push_back({f, -1});
      }
    }
  MeshSubdivision table;  // the real functions, fed the plain table
  for (std::size_t e = 0; e < t.edges.size(); ++e)
    AddEdge(table, t.edges[e][0], t.edges[e][1], t.faces[e][0]);
  for (std::size_t e = 0; e < t.edges.size(); ++e) table.edgeFaces[e] = t.faces[e];
  EXPECT_EQ(table.edges, t.edges) << "numbering in order of first appearance";
  Mesh next;
  ButterflyEdgeVertices(table, cur, next);
  SplitFaces(table, cur, next);
  return next;
}

// A fan mesh with shared vertices, so interior edges have full stencils.
Mesh SharedGrid(int n, std::mt19937& random) {
  Mesh mesh;
  AllocateVertices(mesh, n * n);
  std::uniform_real_distribution<float> jitter(-0.2f, 0.2f);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      mesh.positions[y * n + x] = Vec4(x + jitter(random), y + jitter(random), jitter(random), 0);
      mesh.colours[y * n + x] = Vec4(jitter(random), 0.5f, 0.5f, 1);
    }
  for (int y = 0; y + 1 < n; ++y)
    for (int x = 0; x + 1 < n; ++x) {
      const int a = y * n + x;
      mesh.faces.push_back(MeshFace{{a, a + 1, a + n}, Vec4()});
      mesh.faces.push_back(MeshFace{{a + 1, a + n + 1, a + n}, Vec4()});
    }
  mesh.faceCount = static_cast<int>(mesh.faces.size());
  ComputeVertexNormals(mesh);
  return mesh;
}

std::string MeshPrint(const Mesh& mesh) {
  Fingerprint f;
  f.MeshData(mesh);
  return Hex(f.hash);
}

// The real subdivision reads per-face edge numbers instead of looking edges
// up: each is what FindEdge gives for the corner pair, also on faces with a
// repeated corner, and the levels made through them equal the plain ones.
TEST(Subdivide, EqualsThePlainDefinition) {
  std::mt19937 random(3);
  Mesh withDegenerate = SharedGrid(4, random);
  withDegenerate.faces.push_back(MeshFace{{5, 5, 6}, Vec4()});
  withDegenerate.faces.push_back(MeshFace{{9, 10, 9}, Vec4()});
  withDegenerate.faceCount += 2;
  const struct {
    Mesh mesh;
    int levels;
  } cases[] = {{SharedGrid(3, random), 2}, {SharedGrid(7, random), 2}, {withDegenerate, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mesh.vertexCount);
    MeshSubdivision table;
    BuildEdgeTable(table, c.mesh);
    ASSERT_EQ(table.faceEdges.size(), static_cast<std::size_t>(c.mesh.faceCount));
    for (int f = 0; f < c.mesh.faceCount; ++f)
      for (int k = 0; k < 3; ++k)
        ASSERT_EQ(table.faceEdges[f][k],
                  FindEdge(table, c.mesh.faces[f].vertex[k], c.mesh.faces[f].vertex[(k + 1) % 3]));
    MeshSubdivision subdivision;
    subdivision.baseMesh = c.mesh;
    subdivision.levels = c.levels;
    Subdivide(subdivision);
    Mesh expected = c.mesh;
    for (int level = 0; level < c.levels; ++level) expected = PlainLevel(expected);
    ComputePlanarTexCoords(expected);
    EXPECT_EQ(MeshPrint(*subdivision.resultMesh), MeshPrint(expected));
  }
}

// Each level splits every face in four; the faces grown from one base
// triangle share the (2^L + 1)(2^L + 2)/2 vertices of a triangular grid. A
// flat stroke stays flat and old vertices stay where they were.
TEST(Subdivide, StrokeMeshInvariantsPerLevel) {
  Stroke stroke = FlatStroke(5, 5, 0.1f, 0.02f);
  BuildMesh(stroke, 0);
  EXPECT_FALSE(stroke.subdivision.resultMesh.has_value());
  for (int levels = 1; levels <= 3; ++levels) {
    SCOPED_TRACE(levels);
    BuildMesh(stroke, levels);
    const Mesh &base = *stroke.subdivision.baseMesh, &result = *stroke.subdivision.resultMesh;
    EXPECT_EQ(result.faceCount, base.faceCount << (2 * levels));
    std::set<int> used;
    for (int f = 0; f < 1 << (2 * levels); ++f)
      for (int corner : result.faces[f].vertex) used.insert(corner);
    const int side = 1 << levels;
    EXPECT_EQ(static_cast<int>(used.size()), (side + 1) * (side + 2) / 2);
    for (int v = 0; v < base.vertexCount; ++v)
      ASSERT_EQ(result.positions[v].x, base.positions[v].x) << "old vertices stay";
    for (const Vec4& p : result.positions) ASSERT_EQ(p.z, 0.0f) << "a flat stroke stays flat";
  }
}

}  // namespace
