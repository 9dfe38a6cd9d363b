#pragma once
// Stroke meshes kept in GL buffer objects: a mesh goes to the GL once, the
// first time it is drawn after it was built, not with every frame. Buffers
// belong to the context they were made in (the main window's); those of
// meshes no longer drawn are given back.

#include <cstddef>
#include <vector>

#include "stroke/stroke.h"

// True when the current context has buffer objects (GL 1.5, or
// GL_ARB_vertex_buffer_object).
bool MeshBuffersAvailable();

// What to draw once a mesh's buffers are bound: `count` vertices as they
// come, or `count` indices of the bound element buffer.
struct MeshDraw {
  int count = 0;  // 0: the mesh cannot be drawn from buffers
  bool indexed = false;
};

// Binds the buffers of `mesh` (uploading it first if they do not hold it
// yet) and points the vertex, normal, colour and texture-coordinate arrays
// into them, the texture coordinates on each unit in `texCoordUnits`.
// Nothing is bound for a mesh without an id, without buffer objects, or
// one the driver had no room for (it is not offered again).
MeshDraw BindMeshBuffers(const Mesh& mesh, bool colours, const unsigned* texCoordUnits, int units);
// Unbinds the buffers and disables the arrays BindMeshBuffers or
// GatheredFaces::Bind enabled.
void UnbindMeshBuffers(bool colours, const unsigned* texCoordUnits, int units);

// One vertex as the buffers hold it: only the components drawn, side by
// side, so the GL reads one stream.
struct PackedVertex {
  float position[3];
  float normal[3];
  float colour[4];
  float texCoord[2];
};

// Faces of many meshes gathered, in the order they are added, into one list
// of vertices (three a face, as the buffers draw a face), so that a pass
// drawing a few faces of each of many meshes sends them in one draw: every
// draw of its own costs the GL a check of its whole state and a start of
// its vertex stage, more than the few faces themselves.
class GatheredFaces {
 public:
  // Faces [first, first + count) of `mesh`.
  void Add(const Mesh& mesh, int first, int count);
  bool Empty() const { return vertices_.empty(); }
  std::size_t Vertices() const { return vertices_.size(); }
  // Points the arrays at the gathered vertices as BindMeshBuffers points
  // them at a mesh's buffers; the vertices to draw.
  int Bind(bool colours, const unsigned* texCoordUnits, int units) const;
  // Empties the list, keeping its room for the next pass.
  void Clear() { vertices_.clear(); }

 private:
  std::vector<PackedVertex> vertices_;
};

// Ends a pass over the strokes: buffers of meshes not drawn in this pass or
// the one before are deleted.
void EndMeshBufferPass();
