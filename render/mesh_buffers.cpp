#include "render/mesh_buffers.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/gl_features.h"

namespace {

struct BufferFunctions {
  PFNGLGENBUFFERSPROC gen = nullptr;
  PFNGLBINDBUFFERPROC bind = nullptr;
  PFNGLBUFFERDATAPROC data = nullptr;
  PFNGLBUFFERSUBDATAPROC subData = nullptr;
  PFNGLDELETEBUFFERSPROC remove = nullptr;
};

// The entry points, looked up once: by their core names from GL 1.5 on, by
// their ARB names where only the extension is there.
const BufferFunctions* Functions() {
  static int known = 0;  // 1 available, -1 not
  static BufferFunctions functions;
  if (known != 0) return known > 0 ? &functions : nullptr;
  const ContextFeatures context = CurrentContextFeatures();
  if (!context.known) return nullptr;  // no context yet: ask again later
  known = -1;
  const bool core = context.AtLeast(1, 5);
  if (!core && !context.Lists("GL_ARB_vertex_buffer_object")) return nullptr;
  const std::string suffix = core ? "" : "ARB";
  auto lookup = [&suffix](auto& entry, const char* name) {
    return LookUpEntry(entry, std::string(name) + suffix);
  };
  BufferFunctions& f = functions;
  if (lookup(f.gen, "glGenBuffers") && lookup(f.bind, "glBindBuffer") &&
      lookup(f.data, "glBufferData") && lookup(f.subData, "glBufferSubData") &&
      lookup(f.remove, "glDeleteBuffers"))
    known = 1;
  return known > 0 ? &functions : nullptr;
}

// The buffers of one mesh's content: its vertices, and its faces as
// indices, unless every face uses the next three vertices in order (a base
// mesh, which shares none), when the vertices are drawn as they come.
struct Buffers {
  GLuint vertices = 0, indices = 0;
  int count = 0;  // vertices or indices to draw
  unsigned long lastPass = 0;
  bool refused = false;  // the driver had no room: drawn from the arrays
};

std::unordered_map<std::uint64_t, Buffers>& Cache() {
  static std::unordered_map<std::uint64_t, Buffers> cache;
  return cache;
}
unsigned long Pass = 1;
// The buffers live in the context of the first window that drew from
// them; any other context draws from its arrays.
GLXContext Owner = nullptr;

void ClientUnit(unsigned unit) {
  if (Multitexture().clientActiveTexture) Multitexture().clientActiveTexture(unit);
}

bool FacesInVertexOrder(const Mesh& mesh) {
  if (mesh.vertexCount != 3 * mesh.faceCount) return false;
  for (int f = 0; f < mesh.faceCount; ++f)
    for (int k = 0; k < 3; ++k)
      if (mesh.faces[f].vertex[k] != 3 * f + k) return false;
  return true;
}

PackedVertex Packed(const Mesh& mesh, int v) {
  const Vec4 &p = mesh.positions[v], &n = mesh.normals[v], &c = mesh.colours[v],
             &t = mesh.texCoords[v];
  return PackedVertex{{p.x, p.y, p.z}, {n.x, n.y, n.z}, {c.x, c.y, c.z, c.w}, {t.x, t.y}};
}

Buffers Upload(const BufferFunctions& gl, const Mesh& mesh) {
  Buffers made;
  std::vector<PackedVertex> packed(static_cast<std::size_t>(mesh.vertexCount));
  for (int v = 0; v < mesh.vertexCount; ++v) packed[v] = Packed(mesh, v);
  gl.gen(1, &made.vertices);
  gl.bind(GL_ARRAY_BUFFER, made.vertices);
  gl.data(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(packed.size() * sizeof(PackedVertex)),
          packed.data(), GL_STATIC_DRAW);
  if (FacesInVertexOrder(mesh)) {
    made.count = mesh.vertexCount;
    return made;
  }
  // The faces in their order, as one glBegin/glEnd per face would send them.
  std::vector<GLuint> indices(static_cast<std::size_t>(mesh.faceCount) * 3);
  for (int f = 0; f < mesh.faceCount; ++f)
    for (int k = 0; k < 3; ++k) indices[3 * f + k] = static_cast<GLuint>(mesh.faces[f].vertex[k]);
  gl.gen(1, &made.indices);
  gl.bind(GL_ELEMENT_ARRAY_BUFFER, made.indices);
  gl.data(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
          indices.data(), GL_STATIC_DRAW);
  made.count = static_cast<int>(indices.size());
  return made;
}

// Upload, or, when the driver has no room for the mesh, no buffers and a
// note not to ask again: the mesh is drawn from its arrays instead.
Buffers UploadOrRefuse(const BufferFunctions& gl, const Mesh& mesh) {
  Buffers made = Upload(gl, mesh);
  if (made.vertices != 0 && glGetError() != GL_OUT_OF_MEMORY) return made;
  if (made.vertices) gl.remove(1, &made.vertices);
  if (made.indices) gl.remove(1, &made.indices);
  Buffers refused;
  refused.refused = true;
  return refused;
}

// Points the vertex, normal, colour and texture-coordinate arrays at packed
// vertices from `base`: 0, the start of the bound buffer, or an address.
void PointArrays(std::uintptr_t base, bool colours, const unsigned* texCoordUnits, int units) {
  constexpr GLsizei kStride = sizeof(PackedVertex);
  auto at = [base](std::size_t offset) { return reinterpret_cast<const GLvoid*>(base + offset); };
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, kStride, at(offsetof(PackedVertex, position)));
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, kStride, at(offsetof(PackedVertex, normal)));
  if (colours) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, kStride, at(offsetof(PackedVertex, colour)));
  }
  for (int u = 0; u < units; ++u) {
    ClientUnit(texCoordUnits[u]);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kStride, at(offsetof(PackedVertex, texCoord)));
  }
}

}  // namespace

bool MeshBuffersAvailable() { return Functions() != nullptr; }

MeshDraw BindMeshBuffers(const Mesh& mesh, bool colours, const unsigned* texCoordUnits, int units) {
  const BufferFunctions* gl = Functions();
  if (!gl || mesh.id == 0 || mesh.vertexCount == 0 || mesh.faceCount == 0) return MeshDraw();
  const GLXContext context = glXGetCurrentContext();
  if (!Owner) Owner = context;
  if (context != Owner) return MeshDraw();
  Buffers& buffers = Cache()[mesh.id];
  if (buffers.vertices == 0 && !buffers.refused) buffers = UploadOrRefuse(*gl, mesh);
  buffers.lastPass = Pass;
  if (buffers.refused) return MeshDraw();
  gl->bind(GL_ARRAY_BUFFER, buffers.vertices);
  gl->bind(GL_ELEMENT_ARRAY_BUFFER, buffers.indices);
  PointArrays(0, colours, texCoordUnits, units);
  return MeshDraw{buffers.count, buffers.indices != 0};
}

void GatheredFaces::Add(const Mesh& mesh, int first, int count) {
  for (int f = first; f < first + count; ++f)
    for (int v : mesh.faces[f].vertex) vertices_.push_back(Packed(mesh, v));
}

int GatheredFaces::Bind(bool colours, const unsigned* texCoordUnits, int units) const {
  if (const BufferFunctions* gl = Functions()) gl->bind(GL_ARRAY_BUFFER, 0);  // addresses, not offsets
  PointArrays(reinterpret_cast<std::uintptr_t>(vertices_.data()), colours, texCoordUnits, units);
  return static_cast<int>(vertices_.size());
}

void UnbindMeshBuffers(bool colours, const unsigned* texCoordUnits, int units) {
  const BufferFunctions* gl = Functions();
  for (int u = units - 1; u >= 0; --u) {
    ClientUnit(texCoordUnits[u]);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (colours) glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (gl) {
    gl->bind(GL_ARRAY_BUFFER, 0);
    gl->bind(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
}

void EndMeshBufferPass() {
  const BufferFunctions* gl = Functions();
  if (!gl || Owner != glXGetCurrentContext()) return;
  auto& cache = Cache();
  for (auto entry = cache.begin(); entry != cache.end();) {
    if (entry->second.lastPass + 1 < Pass) {
      if (entry->second.vertices) gl->remove(1, &entry->second.vertices);
      if (entry->second.indices) gl->remove(1, &entry->second.indices);
      entry = cache.erase(entry);
    } else {
      ++entry;
    }
  }
  ++Pass;
}
