#pragma once
// The scene pass of the main view: backdrop (the easel of render/easel.h,
// or the filtered source image), strokes, selection outline, axes and the brush
// cursor. Expects the model-view matrix to hold the camera transform and
// the main window's context to be current.

#include "render/scene_view.h"
#include "render/screen_boxes.h"
#include "stroke/stroke.h"

// The whole picture: the still part, then the overlays.
void DrawScene(const SceneView& view);

// The still part of the picture: the backdrop, the stroke under
// construction, the committed strokes with the selection outline. Given a
// confined pass, only its strokes are drawn, and of those only the runs of
// faces and particles that reach its box (all of a stroke whose kept runs
// do not match its lists); the GL must be confined to that box (a scissor
// box, a pick region), where the pass then draws exactly what a pass over
// everything draws (the argument is in render/scene.cpp).
void DrawStill(const SceneView& view, const ConfinedPass* within = nullptr);
// What is drawn over it: the axes and the cursor.
void DrawOverlays(const SceneView& view);

// Name stack for picking: 0 for the stroke under construction, the 1-based
// number for each committed stroke.
void DrawStrokes(const SceneView& view, const ConfinedPass* within = nullptr);
// A pass over some strokes leaves the point size as a pass over all of them
// would: meshes drawn as points in the next frame take it.
void LeavePointSizeOfWholePass(const SceneView& view);

// How a mesh is drawn: the polygon mode (0 for points), the base and detail
// textures, whether its vertex colours are sent, whether it is lit.
struct MeshLook {
  unsigned int mode = kPolygonModeFill;
  unsigned int baseTexture = 0;
  unsigned int detailTexture = 0;
  bool colours = true;
  bool lit = true;
};
// The mesh on two texture units (base map, and the detail map repeated and
// combined at double scale as stroke/drawn_form.h says), lit when asked.
// Mode 0 draws points, otherwise triangles in that polygon mode. Drawn from
// GL buffer objects that hold the mesh since it was built
// (render/mesh_buffers.h), or from its vertex arrays where there are none.
void DrawTexturedMesh(const Mesh& mesh, const MeshLook& look);
// The same picture sent from the mesh's arrays with every frame.
void DrawTexturedMeshFromArrays(const Mesh& mesh, const MeshLook& look);
// The same picture sent one glBegin/glEnd per triangle; kept as the
// reference the fast paths are tested and measured against.
void DrawTexturedMeshImmediate(const Mesh& mesh, const MeshLook& look);
void SetMultiTexCoord(float s, float t);
void DrawSourceCanvas();
void DrawAxes();
// The brush cursor square at `position` as `placement` says (one corner
// there, or centred on it): white over the source image (paperOn), black
// over the paper.
void DrawCursor(const Vec4& position, bool paperOn, CursorPlacement placement);
