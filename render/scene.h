#pragma once
// The scene pass of the main view: backdrop (easel and paper, or the
// filtered source image), strokes, selection outline, axes and the brush
// cursor. Expects the model-view matrix to hold the camera transform and
// the main window's context to be current.

#include "stroke/stroke.h"

void DrawScene(Canvas& canvas);
// Name stack for picking: 0 for the stroke under construction, the 1-based
// number for each committed stroke.
void DrawStrokes(Canvas& canvas);
// The mesh on two texture units (base map, and the detail map repeated 8×
// and combined at double scale), lit when LightOn. Mode 0 draws points,
// otherwise triangles in that polygon mode. Drawn from GL buffer objects
// that hold the mesh since it was built (render/mesh_buffers.h), or from
// its vertex arrays where there are none.
void DrawTexturedMesh(const Mesh& mesh, unsigned int mode, unsigned int baseTexture,
                      unsigned int detailTexture, bool colours);
// The same picture sent from the mesh's arrays with every frame.
void DrawTexturedMeshFromArrays(const Mesh& mesh, unsigned int mode, unsigned int baseTexture,
                                unsigned int detailTexture, bool colours);
// The same picture sent one glBegin/glEnd per triangle; kept as the
// reference the fast paths are tested and measured against.
void DrawTexturedMeshImmediate(const Mesh& mesh, unsigned int mode, unsigned int baseTexture,
                               unsigned int detailTexture, bool colours);
void SetMultiTexCoord(float s, float t);
void DrawEasel();
void DrawSourceCanvas();
void DrawAxes();
void DrawCursor();
