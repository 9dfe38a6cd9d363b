#include "stroke/subdivision.h"

#include "stroke/mesh.h"

namespace {

void ClearEdgeTable(MeshSubdivision& table) {
  table.edgeCount = 0;
  table.edges.clear();
  table.edgeFaces.clear();
  table.edgeIndex.Clear();
}

// First corner of `face` that is neither u nor v, or −1.
int OtherCorner(const MeshFace& face, int u, int v) {
  for (int corner : face.vertex)
    if (corner != u && corner != v) return corner;
  return -1;
}

// The wing vertex beyond edge (u, v) seen from the butterfly's faces f1, f2.
int WingVertex(const MeshSubdivision& table, const Mesh& mesh, int u, int v, int f1, int f2) {
  const int edge = FindEdge(table, u, v);
  if (edge < 0) return -1;
  const IndexPair& faces = table.edgeFaces[edge];
  const int outer = (faces[0] == f1 || faces[0] == f2) ? faces[1] : faces[0];
  if (outer < 0) return -1;
  const IndexPair& stored = table.edges[edge];
  return OtherCorner(mesh.faces[outer], stored[0], stored[1]);
}

// (c + d)/8 − (sum of wings)/16 on the first `components` of a Vec4 attribute.
void AddStencil(Vec4& out, const LargeArray<Vec4>& values, int c, int d, const int wing[4],
                bool withW) {
  const Vec4 near = (values[c] + values[d]) * 0.125f;
  const Vec4 far =
      (values[wing[0]] + values[wing[1]] + values[wing[2]] + values[wing[3]]) * -0.0625f;
  out.x += near.x + far.x;
  out.y += near.y + far.y;
  out.z += near.z + far.z;
  if (withW) out.w += near.w + far.w;
}

}  // namespace

int FindEdge(const MeshSubdivision& table, int a, int b) { return table.edgeIndex.Find(a, b); }

void AddEdge(MeshSubdivision& table, int a, int b, int face) {
  bool inserted = false;
  const int edge = table.edgeIndex.Insert(a, b, table.edgeCount, inserted);
  if (!inserted) {
    table.edgeFaces[edge][1] = face;  // a later face overwrites
    return;
  }
  table.edges.push_back({a, b});
  table.edgeFaces.push_back({face, -1});
  ++table.edgeCount;
}

void BuildEdgeTable(MeshSubdivision& table, const Mesh& mesh) {
  table.edges.reserve(std::size_t(mesh.faceCount) * 3 / 2 + 3);
  table.edgeFaces.reserve(table.edges.capacity());
  table.edgeIndex.Reserve(table.edges.capacity());
  for (int f = 0; f < mesh.faceCount; ++f) {
    const MeshFace& face = mesh.faces[f];
    for (int k = 0; k < 3; ++k) AddEdge(table, face.vertex[k], face.vertex[(k + 1) % 3], f);
  }
}

void ButterflyEdgeVertices(const MeshSubdivision& table, const Mesh& current, Mesh& next) {
  const int v = current.vertexCount;
  AllocateVertices(next, v + table.edgeCount);
  std::copy(current.positions.begin(), current.positions.end(), next.positions.begin());
  std::copy(current.colours.begin(), current.colours.end(), next.colours.begin());
  std::copy(current.normals.begin(), current.normals.end(), next.normals.begin());
  for (int e = 0; e < table.edgeCount; ++e) {
    const int a = table.edges[e][0], b = table.edges[e][1];
    const int n = v + e;
    Vec4& position = next.positions[n];
    Vec4& colour = next.colours[n];
    Vec4& normal = next.normals[n];
    position = (current.positions[a] + current.positions[b]) * 0.5f;
    position.w = 0.0f;
    colour = (current.colours[a] + current.colours[b]) * 0.5f;
    normal = (current.normals[a] + current.normals[b]) * 0.5f;
    normal.w = 0.0f;

    const int f1 = table.edgeFaces[e][0], f2 = table.edgeFaces[e][1];
    if (f1 < 0 || f2 < 0) continue;
    const int c = OtherCorner(current.faces[f1], a, b);
    const int d = OtherCorner(current.faces[f2], a, b);
    if (c < 0 || d < 0) continue;
    const int wing[4] = {
        WingVertex(table, current, a, c, f1, f2), WingVertex(table, current, a, d, f1, f2),
        WingVertex(table, current, b, c, f1, f2), WingVertex(table, current, b, d, f1, f2)};
    if (wing[0] < 0 || wing[1] < 0 || wing[2] < 0 || wing[3] < 0) continue;
    AddStencil(position, current.positions, c, d, wing, false);
    AddStencil(colour, current.colours, c, d, wing, true);
    AddStencil(normal, current.normals, c, d, wing, false);
  }
}

void SplitFaces(const MeshSubdivision& table, const Mesh& current, Mesh& next) {
  const int v = current.vertexCount;
  AllocateFaces(next, 4 * current.faceCount);
  for (int i = 0; i < current.faceCount; ++i) {
    const MeshFace& old = current.faces[i];
    const int q0 = old.vertex[0], q1 = old.vertex[1], q2 = old.vertex[2];
    const int m01 = v + FindEdge(table, q0, q1);
    const int m12 = v + FindEdge(table, q1, q2);
    const int m20 = v + FindEdge(table, q2, q0);
    const int corners[4][3] = {{q0, m01, m20}, {m01, q1, m12}, {m20, m12, q2}, {m01, m12, m20}};
    for (int k = 0; k < 4; ++k) {
      MeshFace& face = next.faces[4 * i + k];
      face.vertex[0] = corners[k][0];
      face.vertex[1] = corners[k][1];
      face.vertex[2] = corners[k][2];
      face.normal = old.normal;
    }
  }
}

void Subdivide(MeshSubdivision& subdivision) {
  subdivision.resultMesh.reset();
  ClearEdgeTable(subdivision);
  if (!subdivision.baseMesh || subdivision.levels <= 0) return;
  Mesh current = CloneMesh(*subdivision.baseMesh);
  for (int level = 0; level < subdivision.levels; ++level) {
    ClearEdgeTable(subdivision);
    Mesh next;
    BuildEdgeTable(subdivision, current);
    ButterflyEdgeVertices(subdivision, current, next);
    SplitFaces(subdivision, current, next);
    current = std::move(next);
  }
  ComputePlanarTexCoords(current);
  current.id = NewMeshId();
  subdivision.resultMesh = std::move(current);
}
