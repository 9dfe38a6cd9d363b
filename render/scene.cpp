#include "render/scene.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "render/gl_features.h"
#include "image/textures.h"
#include "render/easel.h"
#include "render/mesh_buffers.h"
#include "render/particles.h"
#include "stroke/drawn_form.h"
#include "stroke/settings.h"

namespace {

bool TwoUnits() { return Multitexture().Available(); }

void ActiveUnit(GLenum unit) {
  if (Multitexture().activeTexture) Multitexture().activeTexture(unit);
}

// A textured quad as a four-vertex strip: texture coordinate then vertex.
void Quad(const float (&texCoords)[4][2], const float (&vertices)[4][3], float nx, float ny,
          float nz) {
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i < 4; ++i) {
    glNormal3f(nx, ny, nz);
    glTexCoord2f(texCoords[i][0], texCoords[i][1]);
    glVertex3fv(vertices[i]);
  }
  glEnd();
}

// Texture units, combiner and texture matrix for a mesh. Without
// multitexturing the mesh is drawn with its base map alone on the one unit.
void BeginMeshState(const MeshLook& look) {
  if (look.lit) glEnable(GL_LIGHTING);
  ActiveUnit(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, look.baseTexture);
  if (!TwoUnits()) return;
  ActiveUnit(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, static_cast<GLint>(kDetailScale));
  glBindTexture(GL_TEXTURE_2D, look.detailTexture);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glScalef(kDetailRepeat, kDetailRepeat, 1.0f);
  glMatrixMode(GL_MODELVIEW);
}

void EndMeshState(const MeshLook& look) {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  if (TwoUnits()) {
    ActiveUnit(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    ActiveUnit(GL_TEXTURE0_ARB);
  }
  glDisable(GL_TEXTURE_2D);
  if (look.lit) glDisable(GL_LIGHTING);
}

void ClientUnit(GLenum unit) {
  if (Multitexture().clientActiveTexture) Multitexture().clientActiveTexture(unit);
}

void TexCoordArray(GLenum unit, const Mesh& mesh) {
  ClientUnit(unit);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(Vec4), &mesh.texCoords[0].x);
}

void DisableTexCoordArray(GLenum unit) {
  ClientUnit(unit);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

}  // namespace

void SetMultiTexCoord(float s, float t) {
  if (!TwoUnits()) {
    glTexCoord2f(s, t);
    return;
  }
  Multitexture().multiTexCoord2f(GL_TEXTURE0_ARB, s, t);
  Multitexture().multiTexCoord2f(GL_TEXTURE1_ARB, s, t);
}

void DrawTexturedMeshImmediate(const Mesh& mesh, const MeshLook& look) {
  BeginMeshState(look);
  for (int f = 0; f < mesh.faceCount; ++f) {
    if (look.mode != 0) glPolygonMode(GL_FRONT_AND_BACK, look.mode);
    glBegin(look.mode != 0 ? GL_TRIANGLE_STRIP : GL_POINTS);
    for (int v : mesh.faces[f].vertex) {
      glNormal3f(mesh.normals[v].x, mesh.normals[v].y, mesh.normals[v].z);
      SetMultiTexCoord(mesh.texCoords[v].x, mesh.texCoords[v].y);
      if (look.colours) {
        const Vec4& c = mesh.colours[v];
        const float rgba[4] = {c.x, c.y, c.z, c.w};
        glColor4fv(rgba);
      }
      glVertex3f(mesh.positions[v].x, mesh.positions[v].y, mesh.positions[v].z);
    }
    glEnd();
  }
  EndMeshState(look);
}

namespace {

// Immediate mode leaves the current colour at the last vertex's colour;
// arrays leave it undefined, so match what the per-face path leaves.
void LeaveLastVertexColour(const Mesh& mesh) {
  const Vec4& c = mesh.colours[mesh.faces[mesh.faceCount - 1].vertex[2]];
  glColor4f(c.x, c.y, c.z, c.w);
}

}  // namespace

namespace {

// Meshes drawn one after the other share one set-up: the texture units,
// combiner, texture matrix and lighting stay set from one mesh to the next
// until anything else is drawn. Setting them up afresh for every mesh made
// the GL check its whole pipeline again per stroke.
//
// While `gathering` (a confined pass drawn on the screen), the faces the
// run's meshes draw are not drawn mesh by mesh but gathered, in drawing
// order, and sent in one draw when the run closes or the way they are
// drawn changes: a confined pass over a dense painting draws a few faces
// of each of hundreds of strokes, and a draw of its own for each cost more
// than their faces.
struct MeshRun {
  bool open = false;
  MeshLook look;
  bool gathering = false;
  const BoxSides* sides = nullptr;  // while gathering: faces beyond a side are left out
  GatheredFaces faces;
  MeshLook gatheredLook;  // how the gathered faces are drawn
  bool leavesColour = false;
  Vec4 colour;  // the current colour drawing the gathered meshes one by one leaves
};
MeshRun Run;

bool SameSetUp(const MeshLook& a, const MeshLook& b) {
  return a.baseTexture == b.baseTexture && a.detailTexture == b.detailTexture && a.lit == b.lit;
}

const unsigned kTexCoordUnits[2] = {GL_TEXTURE0_ARB, GL_TEXTURE1_ARB};

// The gathered faces in one draw; the current colour then left as the last
// of their meshes leaves it.
void DrawGatheredFaces() {
  if (!Run.faces.Empty()) {
    const MeshLook& look = Run.gatheredLook;
    const int unitCount = TwoUnits() ? 2 : 1;
    if (look.mode != 0) glPolygonMode(GL_FRONT_AND_BACK, look.mode);
    const int count = Run.faces.Bind(look.colours, kTexCoordUnits, unitCount);
    glDrawArrays(look.mode != 0 ? GL_TRIANGLES : GL_POINTS, 0, count);
    UnbindMeshBuffers(look.colours, kTexCoordUnits, unitCount);
    Run.faces.Clear();
  }
  if (Run.leavesColour) glColor4f(Run.colour.x, Run.colour.y, Run.colour.z, Run.colour.w);
  Run.leavesColour = false;
}

void CloseMeshRun() {
  if (!Run.open) return;
  DrawGatheredFaces();
  EndMeshState(Run.look);
  Run.open = false;
}

void OpenMeshRun(const MeshLook& look) {
  if (Run.open && SameSetUp(Run.look, look)) return;
  CloseMeshRun();
  BeginMeshState(look);
  Run.open = true;
  Run.look = look;
}

// Faces [first, first + count) of a mesh.
struct FaceRange {
  int first = 0, count = 0;
};

// The faces of a mesh to draw: all of them, or, in a confined pass, the
// runs that reach its box, merged where they follow one another.
std::vector<FaceRange> FacesToDraw(const Mesh& mesh, const std::vector<RunBox>* runs,
                                   const ConfinedPass* within) {
  if (!within || !runs) return {FaceRange{0, mesh.faceCount}};
  std::vector<FaceRange> ranges;
  for (const RunBox& run : *runs) {
    if (!within->Reaches(run.box)) continue;
    if (!ranges.empty() && ranges.back().first + ranges.back().count == run.first)
      ranges.back().count += run.count;
    else
      ranges.push_back(FaceRange{run.first, run.count});
  }
  return ranges;
}

// Gathered vertices beyond which the list is drawn before it grows on: a
// large box over a dense painting would otherwise gather hundreds of
// megabytes, and keep them. Drawing it in pieces keeps the order.
constexpr std::size_t kMostGatheredVertices = 1 << 16;

// The faces of `range` that may draw inside the pass's box, added to the
// run's gathered faces: a run of faces reaching the box mostly lies outside
// it, and every face sent costs the GL its vertex stage.
void AddFacesReaching(const Mesh& mesh, const FaceRange& range) {
  int kept = range.first;  // faces [kept, f) reach the box and are not added yet
  const int end = range.first + range.count;
  for (int f = range.first; f < end; ++f) {
    const int* corner = mesh.faces[f].vertex;
    if (!Run.sides->AllBeyond(mesh.positions[corner[0]], mesh.positions[corner[1]],
                              mesh.positions[corner[2]]))
      continue;
    if (f > kept) Run.faces.Add(mesh, kept, f - kept);
    kept = f + 1;
  }
  if (end > kept) Run.faces.Add(mesh, kept, end - kept);
}

// `faces` of a mesh added to the run's gathered faces.
void GatherFaces(const Mesh& mesh, const MeshLook& look, const std::vector<FaceRange>& faces) {
  const MeshLook& gathered = Run.gatheredLook;
  if (gathered.mode != look.mode || gathered.colours != look.colours ||
      Run.faces.Vertices() >= kMostGatheredVertices)
    DrawGatheredFaces();
  Run.gatheredLook = look;
  for (const FaceRange& range : faces) AddFacesReaching(mesh, range);
  if (!look.colours || mesh.faceCount == 0) return;
  Run.leavesColour = true;
  Run.colour = mesh.colours[mesh.faces[mesh.faceCount - 1].vertex[2]];
}

// One mesh inside an open run, `faces` of it: gathered, from its buffers,
// or all of it from its arrays when it has none.
void DrawMeshInRun(const Mesh& mesh, const MeshLook& look, const std::vector<FaceRange>& faces) {
  if (Run.gathering && mesh.vertexCount > 0) {
    GatherFaces(mesh, look, faces);
    return;
  }
  if (faces.empty()) {  // a confined pass that none of its faces reach
    if (look.colours && mesh.faceCount > 0) LeaveLastVertexColour(mesh);
    return;
  }
  const int unitCount = TwoUnits() ? 2 : 1;
  const MeshDraw draw = BindMeshBuffers(mesh, look.colours, kTexCoordUnits, unitCount);
  if (draw.count == 0) {
    CloseMeshRun();
    DrawTexturedMeshFromArrays(mesh, look);
    return;
  }
  if (look.mode != 0) glPolygonMode(GL_FRONT_AND_BACK, look.mode);
  const GLenum primitive = look.mode != 0 ? GL_TRIANGLES : GL_POINTS;
  // Face f is vertices (or indices) 3f to 3f + 2 of the buffers.
  for (const FaceRange& range : faces) {
    const GLsizei count = 3 * range.count;
    if (draw.indexed)
      glDrawElements(primitive, count, GL_UNSIGNED_INT,
                     reinterpret_cast<const GLvoid*>(std::size_t(3) * range.first * sizeof(GLuint)));
    else
      glDrawArrays(primitive, 3 * range.first, count);
  }
  UnbindMeshBuffers(look.colours, kTexCoordUnits, unitCount);
  if (look.colours) LeaveLastVertexColour(mesh);
}

}  // namespace

void DrawTexturedMesh(const Mesh& mesh, const MeshLook& look) {
  OpenMeshRun(look);
  DrawMeshInRun(mesh, look, FacesToDraw(mesh, nullptr, nullptr));
  CloseMeshRun();
}

void DrawTexturedMeshFromArrays(const Mesh& mesh, const MeshLook& look) {
  if (mesh.faceCount == 0 || mesh.vertexCount == 0) {
    BeginMeshState(look);
    EndMeshState(look);
    return;
  }
  // Faces become one index list: the same triangles, in the same order, as
  // one glBegin/glEnd per face would send.
  static std::vector<GLuint> indices;
  indices.resize(std::size_t(mesh.faceCount) * 3);
  for (int f = 0; f < mesh.faceCount; ++f)
    for (int k = 0; k < 3; ++k) indices[3 * f + k] = static_cast<GLuint>(mesh.faces[f].vertex[k]);

  BeginMeshState(look);
  if (look.mode != 0) glPolygonMode(GL_FRONT_AND_BACK, look.mode);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vec4), &mesh.positions[0].x);
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, sizeof(Vec4), &mesh.normals[0].x);
  if (look.colours) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, sizeof(Vec4), &mesh.colours[0].x);
  }
  TexCoordArray(GL_TEXTURE0_ARB, mesh);
  if (TwoUnits()) TexCoordArray(GL_TEXTURE1_ARB, mesh);
  glDrawElements(look.mode != 0 ? GL_TRIANGLES : GL_POINTS, static_cast<GLsizei>(indices.size()),
                 GL_UNSIGNED_INT, indices.data());
  if (TwoUnits()) DisableTexCoordArray(GL_TEXTURE1_ARB);
  DisableTexCoordArray(GL_TEXTURE0_ARB);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (look.colours) LeaveLastVertexColour(mesh);
  EndMeshState(look);
}

namespace {

void DrawPathPoints(const Stroke& stroke, float pointSize) {
  glColor3f(1.0f, 0.0f, 0.0f);
  glBegin(GL_LINE_STRIP);
  for (const StrokeNode& node : stroke.path)
    glVertex3f(node.position.x, node.position.y, node.position.z);
  glEnd();
  glColor3f(0.0f, 0.0f, 1.0f);
  glPointSize(pointSize);
  glBegin(GL_POINTS);
  for (const StrokeNode& node : stroke.path)
    glVertex3f(node.position.x, node.position.y, node.position.z);
  glEnd();
}

void DrawStrokeUnderConstruction(const Stroke& stroke) {
  DrawPathPoints(stroke, 5.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
}

void DrawBoundsHighlight(const Stroke& stroke, int number, int selectedStroke) {
  if (number != selectedStroke) return;
  glColor3f(0.0f, 1.0f, 0.0f);
  glBegin(GL_LINE_LOOP);
  for (const Vec4& corner : stroke.bounds) glVertex3f(corner.x, corner.y, 0.01f);
  glEnd();
  glColor3f(1.0f, 1.0f, 1.0f);
}

// How every stroke mesh of a view is drawn.
MeshLook StrokeMeshLook(const SceneView& view) {
  MeshLook look;
  look.mode = view.primitiveMode;
  look.baseTexture = TEX_MESH;
  look.detailTexture = TEX_DETAIL;
  look.lit = view.display.lightOn != 0;
  return look;
}

// The mesh a stroke is drawn from: its shown mesh, or the base mesh while
// the view is coarse.
const Mesh* MeshToDraw(const Stroke& stroke, const SceneView& view) {
  const Mesh* shown = ShownMesh(stroke);
  if (shown && view.coarse && stroke.subdivision.baseMesh) return &*stroke.subdivision.baseMesh;
  return shown;
}

// The kept runs of the faces of `mesh`, one of the stroke's meshes;
// nullptr when they do not cover its faces.
const std::vector<RunBox>* FaceRunsOf(const Stroke& stroke, const Mesh& mesh) {
  const MeshSubdivision& meshes = stroke.subdivision;
  const std::vector<RunBox>* runs = nullptr;
  if (meshes.baseMesh && &mesh == &*meshes.baseMesh) runs = &stroke.reach.baseFaces;
  if (meshes.resultMesh && &mesh == &*meshes.resultMesh) runs = &stroke.reach.resultFaces;
  return runs && RunsCover(*runs, mesh.faceCount) ? runs : nullptr;
}

// The stroke's particles: its compiled list, or, in a confined pass, the
// runs of them that reach its box, drawn as the list draws each one. The
// colour and sprite are left as the whole list leaves them.
void DrawParticles(const Stroke& stroke, const ConfinedPass* within) {
  const ParticleSystem& particles = stroke.particles;
  const std::size_t count = particles.positions.size();
  if (!within || particles.displayList == 0 || particles.colours.size() < count ||
      !RunsCover(stroke.reach.particles, static_cast<int>(count))) {
    glCallList(particles.displayList);
    return;
  }
  for (const RunBox& run : stroke.reach.particles) {
    if (!within->Reaches(run.box)) continue;
    for (int i = run.first; i < run.first + run.count; ++i)
      DrawParticle(particles.spriteTexture, QuadOfParticle(particles, i), particles.colours[i]);
  }
  if (count == 0) return;
  const Vec4& last = particles.colours[count - 1];
  glColor4f(last.x, last.y, last.z, last.w);
  glBindTexture(GL_TEXTURE_2D, particles.spriteTexture);
}

// A mesh stroke leaves the mesh set-up open for the next stroke's mesh
// (DrawStrokes closes it); anything else drawn closes it first.
void DrawStroke(const Stroke& stroke, int number, const SceneView& view,
                const ConfinedPass* within) {
  if (view.display.showNodes) {
    CloseMeshRun();
    DrawPathPoints(stroke, 1.0f);
  }
  if (const Mesh* mesh = MeshToDraw(stroke, view)) {
    const MeshLook look = StrokeMeshLook(view);
    OpenMeshRun(look);
    DrawMeshInRun(*mesh, look, FacesToDraw(*mesh, FaceRunsOf(stroke, *mesh), within));
  }
  if (ShowsParticles(stroke)) {
    CloseMeshRun();
    DrawParticles(stroke, within);
  }
  if (number == view.selectedStroke) CloseMeshRun();
  DrawBoundsHighlight(stroke, number, view.selectedStroke);
}

}  // namespace

// A confined pass draws the same pixels inside its box as a pass over
// everything. A pixel's colour and depth come from the fragments produced
// there, taken in drawing order, each depth-tested against and blended
// with what the ones before left: the same fragments in the same order
// give the same pixel. Every triangle, point and line is rasterised on its
// own (GL_TRIANGLES and GL_POINTS share no vertices between primitives,
// and each particle is its own strip), so leaving out a primitive removes
// its fragments and changes no other primitive's. The pass leaves out only
// strokes and runs whose boxes, projected with a margin wider than half
// the largest point and a line's width, miss the box, and (gathering)
// faces whose three corners lie beyond one side of the box widened by
// that margin, so none of their primitives has a fragment inside it (a
// side is a half-space, and a triangle lies within the hull of its
// corners); everything else is drawn, with the
// same state and in the same order. The depth buffer inside the box is
// cleared first, so no fragment of the kept picture takes part. Outside
// the box the scissor (or the pick region) keeps the pass from writing.
// Gathering the faces of consecutive meshes into one draw changes none of
// this: the draw sends the same triangles (or points) with the same vertex
// values and the same state, in the same order, and nothing else is drawn
// between them (anything else closes the run, which draws them first). The
// pick region's pass draws mesh by mesh: each stroke's hits are recorded
// under its own name.
void DrawStrokes(const SceneView& view, const ConfinedPass* within) {
  const Canvas& canvas = *view.canvas;
  GLint renderMode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &renderMode);
  Run.gathering = within && renderMode == GL_RENDER;
  std::optional<BoxSides> sides;
  if (Run.gathering) Run.sides = &sides.emplace(*within->projection, within->box);
  glInitNames();
  glPushName(0);
  if (!canvas.current.path.empty()) DrawStrokeUnderConstruction(canvas.current);
  if (within) {
    for (int slot : within->slots) {
      glLoadName(slot + 1);
      DrawStroke(canvas.strokes[slot], slot + 1, view, within);
    }
  } else {
    for (int n = 1; n <= canvas.count; ++n) {
      glLoadName(n);
      const Stroke& stroke = canvas.strokes[n - 1];
      if (!stroke.deleted) DrawStroke(stroke, n, view, nullptr);
    }
  }
  CloseMeshRun();
  Run.gathering = false;
  Run.sides = nullptr;
  if (within) {
    LeavePointSizeOfWholePass(view);
  } else {
    // Only a pass over every stroke tells which meshes are no longer drawn.
    EndMeshBufferPass();
  }
}

void LeavePointSizeOfWholePass(const SceneView& view) {
  const Canvas& canvas = *view.canvas;
  bool nodesDrawn = false;
  if (view.display.showNodes)
    for (int n = 0; n < canvas.count && !nodesDrawn; ++n) nodesDrawn = !canvas.strokes[n].deleted;
  if (nodesDrawn)
    glPointSize(1.0f);
  else if (!canvas.current.path.empty())
    glPointSize(5.0f);
}

void DrawSourceCanvas() {
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, TEX_FILTERED);
  glEnable(GL_TEXTURE_2D);
  Quad({{0, 0}, {1, 0}, {0, 1}, {1, 1}},
       {{1, 1, -0.01f}, {-1, 1, -0.01f}, {1, -1, -0.01f}, {-1, -1, -0.01f}}, 0, 1, 0);
  glDisable(GL_TEXTURE_2D);
}

void DrawAxes() {
  const struct {
    GLubyte r, g, b;
    float x, y, z;
    char letter;
  } axes[3] = {{255, 0, 0, 1, 0, 0, 'X'}, {0, 255, 0, 0, 1, 0, 'Y'}, {0, 0, 255, 0, 0, 1, 'Z'}};
  for (const auto& axis : axes) {
    glColor3ub(axis.r, axis.g, axis.b);
    glBegin(GL_LINE_STRIP);
    glVertex3f(0, 0, 0);
    glVertex3f(axis.x, axis.y, axis.z);
    glEnd();
  }
  glColor3f(1.0f, 1.0f, 1.0f);
  for (const auto& axis : axes) {
    glRasterPos3f(axis.x * 1.1f, axis.y * 1.1f, axis.z * 1.1f);
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, axis.letter);
  }
}

void DrawCursor(const Vec4& position, bool paperOn, CursorPlacement placement) {
  if (placement == CursorPlacement::kNone) return;
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glTranslatef(position.x, position.y, position.z);
  // Centred, the square's middle is the point: half its side back.
  if (placement == CursorPlacement::kCentred) glTranslatef(-0.075f, -0.075f, 0.0f);
  if (paperOn)
    glColor3f(1.0f, 1.0f, 1.0f);
  else
    glColor3f(0.0f, 0.0f, 0.0f);
  ActiveUnit(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, TEX_BRUSH);
  Quad({{0, 0}, {-1, 0}, {0, -1}, {-1, -1}},
       {{0.15f, 0.15f, 0}, {0, 0.15f, 0}, {0.15f, 0, 0}, {0, 0, 0}}, 0, 0, 1);
  glColor3f(1.0f, 1.0f, 1.0f);
  ActiveUnit(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
}

void DrawStill(const SceneView& view, const ConfinedPass* within) {
  if (view.display.paperOn)
    DrawSourceCanvas();
  else
    DrawEasel(kMainViewEasel);
  DrawStrokes(view, within);
}

void DrawOverlays(const SceneView& view) {
  if (view.display.axesOn) DrawAxes();
  if (view.display.cursorOn)
    DrawCursor(view.cursorPosition, view.display.paperOn != 0, view.cursorPlacement);
}

void DrawScene(const SceneView& view) {
  DrawStill(view);
  DrawOverlays(view);
}
