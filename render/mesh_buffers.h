#pragma once
// Stroke meshes kept in GL buffer objects: a mesh goes to the GL once, the
// first time it is drawn after it was built, not with every frame. Buffers
// belong to the context they were made in (the main window's); those of
// meshes no longer drawn are given back.

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
// Unbinds the buffers and disables the arrays BindMeshBuffers enabled.
void UnbindMeshBuffers(bool colours, const unsigned* texCoordUnits, int units);

// Ends a pass over the strokes: buffers of meshes not drawn in this pass or
// the one before are deleted.
void EndMeshBufferPass();
