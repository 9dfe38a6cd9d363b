#include "stroke/mesh.h"

#include <cmath>

#include "stroke/subdivision.h"

void AllocateVertices(Mesh& mesh, int count) {
  mesh.vertexCount = count;
  mesh.positions.assign(count, Vec4());
  mesh.normals.assign(count, Vec4());
  mesh.colours.assign(count, Vec4());
  mesh.texCoords.assign(count, Vec4());
}

void AllocateFaces(Mesh& mesh, int count) {
  mesh.faceCount = count;
  mesh.faces.assign(count, MeshFace());
}

// Faces refer to vertices by index, so a member-wise copy refers to the
// copy's own vertices.
Mesh CloneMesh(const Mesh& mesh) { return mesh; }

std::uint64_t NewMeshId() {
  static std::uint64_t last = 0;
  return ++last;
}

void ComputeVertexNormals(Mesh& mesh) {
  if (mesh.vertexCount == 0) return;
  for (MeshFace& face : mesh.faces) {
    face.normal = TriangleNormal(mesh.positions[face.vertex[0]], mesh.positions[face.vertex[1]],
                                 mesh.positions[face.vertex[2]]);
    for (int corner : face.vertex) mesh.normals[corner] += face.normal;
  }
}

void ComputePlanarTexCoords(Mesh& mesh) {
  if (mesh.vertexCount == 0) return;
  float minX = mesh.positions[0].x, maxX = minX, minY = mesh.positions[0].y, maxY = minY;
  // Plain comparisons rather than fmin/fmax: positions are never NaN, and
  // the loop then runs in vector registers instead of calling libm twice a
  // coordinate.
  for (const Vec4& p : mesh.positions) {
    minX = p.x < minX ? p.x : minX;
    maxX = p.x > maxX ? p.x : maxX;
    minY = p.y < minY ? p.y : minY;
    maxY = p.y > maxY ? p.y : maxY;
  }
  const float extentX = maxX - minX, extentY = maxY - minY;
  mesh.texCoords.resize(mesh.vertexCount);
  for (int v = 0; v < mesh.vertexCount; ++v) {
    const Vec4& p = mesh.positions[v];
    mesh.texCoords[v] = Vec4(extentX != 0.0f ? 2.0f * (p.x - minX) / extentX : 0.0f,
                             extentY != 0.0f ? 2.0f * (p.y - minY) / extentY : 0.0f, 0.0f, 0.0f);
  }
}

namespace {

constexpr float kPi = 3.1415927f;

// Sweeps the profile along the path: grid vertex (i, j) is path entry i
// pushed c_j × width along its perpendicular and raised profile[j] × height.
Mesh SweepGrid(const Stroke& stroke) {
  const int n = static_cast<int>(stroke.path.size());
  const int s = stroke.shapeResolution;
  Mesh mesh;
  if (n < 2 || s < 2 || static_cast<int>(stroke.profile.size()) < s ||
      static_cast<int>(stroke.size.startColours.size()) < s)
    return mesh;
  LargeArray<Vec4> positions(std::size_t(n) * s), colours(std::size_t(n) * s);
  const float rows = static_cast<float>(n), columns = static_cast<float>(s);
  for (float i = 0.0f; i < rows; i += 1.0f) {
    const StrokeNode& node = stroke.path[static_cast<int>(i)];
    for (float j = 0.0f; j < columns; j += 1.0f) {
      const int column = static_cast<int>(j);
      const float angle = kPi + j * kPi / columns;
      const float c = std::cos(angle);
      const std::size_t at = std::size_t(i) * s + column;
      const Vec4& start = stroke.size.startColours[column];
      const Vec4& end = stroke.size.endColours[column];
      colours[at] = start + (end - start) * (i / rows);
      positions[at] = Vec4(c * node.width * node.perpendicular.x + node.position.x,
                           c * node.width * node.perpendicular.y + node.position.y,
                           stroke.profile[column] * node.height + node.position.z, 0.0f);
    }
  }
  const int cells = (n - 1) * (s - 1);
  AllocateVertices(mesh, 6 * cells);
  AllocateFaces(mesh, 2 * cells);
  int vertex = 0, face = 0;
  auto emit = [&](int p, int q, int r) {
    MeshFace& f = mesh.faces[face++];
    for (int k = 0; k < 3; ++k) {
      const int grid = k == 0 ? p : (k == 1 ? q : r);
      mesh.positions[vertex] = positions[grid];
      mesh.colours[vertex] = colours[grid];
      f.vertex[k] = vertex++;
    }
  };
  for (int i = 0; i + 1 < n; ++i) {
    for (int j = 0; j + 1 < s; ++j) {
      const int a = i * s + j, b = a + s;
      emit(b, a, a + 1);
      emit(b, a + 1, b + 1);
    }
  }
  return mesh;
}

}  // namespace

void BuildMesh(Stroke& stroke, int subdivisionLevels) {
  Mesh mesh = SweepGrid(stroke);
  ComputeVertexNormals(mesh);
  ComputePlanarTexCoords(mesh);
  MeshSubdivision& subdivision = stroke.subdivision;
  // Subdivide starts by dropping the previous result mesh and edge table.
  mesh.id = NewMeshId();
  subdivision.baseMesh = std::move(mesh);
  subdivision.levels = subdivisionLevels;
  Subdivide(subdivision);
  // Every rebuild of the mesh (a resize, an update, a crossing's re-mesh,
  // a stroke opened from a file) comes through here.
  KeepReach(stroke);
}
