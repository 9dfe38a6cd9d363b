#pragma once
// The stroke records: StrokeNode, Mesh, MeshSubdivision, ParticleSystem,
// Stroke and the Canvas that holds every stroke of the run.
//
// Ownership: every array belongs to exactly one record (std::vector), so a
// copy is a deep copy and destruction frees everything. Stroke numbers shown
// to the user are 1-based; indices into Canvas::strokes are 0-based.
// Nothing here touches GL: a stroke's drawable forms (its particle display
// list) are made through the build hooks (stroke/build.h).

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/large_array.h"
#include "common/vec4.h"
#include "stroke/edge_index.h"
#include "stroke/reach.h"

struct StrokeNode {
  Vec4 position;       // x, y, z; w = 0. Painted nodes lie on z = 0.
  Vec4 tangent;        // not normalised
  Vec4 perpendicular;  // unit, across the path in the canvas plane
  float height = 0.0f;
  float width = 0.0f;
  float baseHeight = 0.0f;   // height as the PERP step last computed it
  float baseWidth = 0.0f;    // width as the PERP step last computed it
  std::uint32_t locked = 0;  // 1 once a collision has deflected or frozen it
  // How hard the pen pressed, 0..1: 1 for a mouse and for every node made
  // without a pen. Path samples carry it as the curve carries positions.
  float pressure = 1.0f;
};

// Vertex references are indices into the four vertex arrays.
struct MeshFace {
  int vertex[3] = {0, 0, 0};
  Vec4 normal;  // not normalised; w = 0
};

struct Mesh {
  // Names the mesh's content: a mesh built or subdivided anew gets a new
  // id, a copy keeps its original's (so whatever was made from the content,
  // GL buffers say, serves the copy too); 0 for a mesh made by hand.
  std::uint64_t id = 0;
  int vertexCount = 0;
  int faceCount = 0;
  LargeArray<Vec4> positions;
  LargeArray<Vec4> normals;
  LargeArray<Vec4> colours;
  LargeArray<Vec4> texCoords;  // s in x, t in y
  LargeArray<MeshFace> faces;
};

// Edge pair: two vertex indices (edges) or two face indices, -1 = no face.
using IndexPair = std::array<int, 2>;

struct MeshSubdivision {
  int levels = 0;
  std::optional<Mesh> baseMesh;    // as BuildMesh generated it
  std::optional<Mesh> resultMesh;  // after `levels` levels; none when 0
  // The mesh a stroke drawn as a mesh shows: the subdivided one when there
  // is one, else the base mesh; nullptr before the first build.
  const Mesh* Shown() const {
    return resultMesh ? &*resultMesh : baseMesh ? &*baseMesh : nullptr;
  }
  // Edge table of the last level's input mesh, numbered in order of first
  // appearance; edges keep the orientation of the face that first named them.
  int edgeCount = 0;
  LargeArray<IndexPair> edges;
  LargeArray<IndexPair> edgeFaces;
  // Per face of that mesh, the numbers of its three edges: entry k joins
  // corner k to corner (k + 1) mod 3. Filled with the table, so that the
  // steps after it read a face's edges instead of looking them up.
  LargeArray<std::array<int, 3>> faceEdges;
  // Vertex pair → edge number, so that FindEdge is a lookup rather than a
  // scan.
  EdgeIndex edgeIndex;
};

// The particles of the stroke's last build: entry i of the three arrays is
// particle i. They stay after the drawable list is compiled, so that the
// stroke can be exported and restored as it was drawn.
struct ParticleSystem {
  unsigned int displayList = 0;  // GL list name; 0 until the first compile
  std::vector<Vec4> positions;   // centres, z = w = 0
  std::vector<Vec4> colours;
  std::vector<float> sizes;
  unsigned int spriteTexture = 5;  // TEX_PARTICLE_BRUSH
};

struct StrokeSize {
  int resolution = 0;
  std::vector<Vec4> startColours;
  std::vector<Vec4> endColours;
  float widthStart = 0.0f, widthEnd = 0.0f;
  float heightStart = 0.0f, heightEnd = 0.0f;
};

struct Stroke {
  int deleted = 0;
  int renderType = 0;  // a RenderType (stroke/settings.h)
  int shapeResolution = 0;
  std::vector<float> profile;
  std::vector<StrokeNode> path;   // working list: nodes until built, then path samples
  std::vector<StrokeNode> nodes;  // the user's control nodes, never changed by a build
  StrokeSize size;
  Vec4 bounds[4];
  MeshSubdivision subdivision;
  ParticleSystem particles;
  // Where it may draw: kept by every step that changes the meshes,
  // particles, path or bounds above (stroke/reach.h), and carried along
  // with the record by copies, undo and redo.
  StrokeReach reach;
};

constexpr int kStrokeCapacity = 20000;
constexpr int kStrokeCountLimit = 19999;  // painting and committing stop here

struct BuildContext;

// The holder of a painting's strokes: the one being painted and the
// committed ones in commit order.
struct Canvas {
  Stroke current;
  std::vector<Stroke> strokes = std::vector<Stroke>(kStrokeCapacity);
  int count = 0;
  Vec4 lastPoint;

  // Painting operations (stroke/canvas.cpp). Strokes stop at a count of
  // 19999: beyond it points add no nodes and commits add no strokes.
  // Last point := (x, y, 0), node appended with the pen's pressure.
  void AddPoint(float x, float y, float pressure = 1.0f);
  void AddGuardedNode(const Vec4& p);  // node appended, last point untouched
  // Copies the current stroke into the next slot, builds it, clears the
  // current one. Returns the slot filled, or -1 at the limit.
  int CommitStroke(const BuildContext& build);
  void DeleteStroke(int index);  // 0-based; no longer drawn or picked
  void DeleteAll();              // every stroke replaced by an empty one
  // The stroke behind a 1-based number; nullptr for 0 or past the count.
  Stroke* StrokeNumber(int number);
};
