#include "stroke/subdivision.h"

#include "stroke/mesh.h"

namespace {

void ClearEdgeTable(MeshSubdivision& table) {
  table.edgeCount = 0;
  table.edges.clear();
  table.edgeFaces.clear();
  table.faceEdges.clear();
  table.edgeIndex.Clear();
}

// First corner of `face` that is neither u nor v, or −1.
int OtherCorner(const MeshFace& face, int u, int v) {
  for (int corner : face.vertex)
    if (corner != u && corner != v) return corner;
  return -1;
}

// Whether the table's per-face edge numbers belong to `mesh`: BuildEdgeTable
// fills them; a table assembled edge by edge with AddEdge has none.
bool HasFaceEdges(const MeshSubdivision& table, const Mesh& mesh) {
  return table.faceEdges.size() == static_cast<std::size_t>(mesh.faceCount);
}

// The number of the edge joining u and v, two different corners of face f.
// Every two corners of a triangle are joined by one of its edges, and that
// edge got the pair's one number in the table, so this is what FindEdge
// answers, read from the face instead of looked up.
int FaceEdge(const MeshSubdivision& table, const Mesh& mesh, int f, int u, int v) {
  if (!HasFaceEdges(table, mesh)) return FindEdge(table, u, v);
  const int* corner = mesh.faces[f].vertex;
  for (int k = 0; k < 3; ++k) {
    const int p = corner[k], q = corner[(k + 1) % 3];
    if ((p == u && q == v) || (p == v && q == u)) return table.faceEdges[f][k];
  }
  return FindEdge(table, u, v);
}

// The wing vertex beyond edge (u, v) of face `inner` seen from the
// butterfly's faces f1, f2.
int WingVertex(const MeshSubdivision& table, const Mesh& mesh, int inner, int u, int v, int f1,
               int f2) {
  const int edge = FaceEdge(table, mesh, inner, u, v);
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

int AddEdge(MeshSubdivision& table, int a, int b, int face) {
  bool inserted = false;
  const int edge = table.edgeIndex.Insert(a, b, table.edgeCount, inserted);
  if (!inserted) {
    if (edge >= 0) table.edgeFaces[edge][1] = face;  // a later face overwrites
    return edge;
  }
  table.edges.push_back({a, b});
  table.edgeFaces.push_back({face, -1});
  return table.edgeCount++;
}

void BuildEdgeTable(MeshSubdivision& table, const Mesh& mesh) {
  // AddEdge for every face and corner, with the arrays written by index
  // rather than appended to: a face brings at most three new edges, room
  // that stays unused is never touched (so costs no memory), and the count
  // lives in a register instead of the arrays' ends in memory.
  const std::size_t room = std::size_t(table.edgeCount) + std::size_t(mesh.faceCount) * 3;
  table.edges.resize(room);
  table.edgeFaces.resize(room);
  table.edgeIndex.Reserve(std::size_t(mesh.faceCount) * 3 / 2 + 3);  // grows if need be
  table.faceEdges.resize(mesh.faceCount);
  int count = table.edgeCount;
  // Each edge's slot in the index is a random place in a table far larger
  // than the caches; asking for the slots of a face a little ahead lets
  // those memory reads overlap instead of waiting for each in turn.
  constexpr int kAhead = 16;
  for (int f = 0; f < mesh.faceCount; ++f) {
    if (f + kAhead < mesh.faceCount) {
      const int* ahead = mesh.faces[f + kAhead].vertex;
      for (int k = 0; k < 3; ++k) table.edgeIndex.Prefetch(ahead[k], ahead[(k + 1) % 3]);
    }
    const int* corner = mesh.faces[f].vertex;
    for (int k = 0; k < 3; ++k) {
      const int a = corner[k], b = corner[(k + 1) % 3];
      bool inserted = false;
      const int edge = table.edgeIndex.Insert(a, b, count, inserted);
      if (inserted) {
        table.edges[count] = {a, b};
        table.edgeFaces[count] = {f, -1};
        ++count;
      } else if (edge >= 0) {
        table.edgeFaces[edge][1] = f;  // a later face overwrites
      }
      table.faceEdges[f][k] = edge;
    }
  }
  table.edgeCount = count;
  table.edges.resize(count);
  table.edgeFaces.resize(count);
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
    // (a, c) and (b, c) are edges of f1, (a, d) and (b, d) edges of f2.
    const int wing[4] = {WingVertex(table, current, f1, a, c, f1, f2),
                         WingVertex(table, current, f2, a, d, f1, f2),
                         WingVertex(table, current, f1, b, c, f1, f2),
                         WingVertex(table, current, f2, b, d, f1, f2)};
    if (wing[0] < 0 || wing[1] < 0 || wing[2] < 0 || wing[3] < 0) continue;
    AddStencil(position, current.positions, c, d, wing, false);
    AddStencil(colour, current.colours, c, d, wing, true);
    AddStencil(normal, current.normals, c, d, wing, false);
  }
}

void SplitFaces(const MeshSubdivision& table, const Mesh& current, Mesh& next) {
  const int v = current.vertexCount;
  AllocateFaces(next, 4 * current.faceCount);
  const bool withFaceEdges = HasFaceEdges(table, current);
  for (int i = 0; i < current.faceCount; ++i) {
    const MeshFace& old = current.faces[i];
    const int q0 = old.vertex[0], q1 = old.vertex[1], q2 = old.vertex[2];
    int m01, m12, m20;
    if (withFaceEdges) {
      m01 = v + table.faceEdges[i][0];
      m12 = v + table.faceEdges[i][1];
      m20 = v + table.faceEdges[i][2];
    } else {
      m01 = v + FindEdge(table, q0, q1);
      m12 = v + FindEdge(table, q1, q2);
      m20 = v + FindEdge(table, q2, q0);
    }
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
