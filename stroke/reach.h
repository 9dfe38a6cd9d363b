#pragma once
// Where a committed stroke may draw, in scene coordinates: one box holding
// everything it draws (its meshes, particle quads, path points and outline)
// and boxes of runs of its faces and particles, so that a pass confined to
// part of the view draws only the runs that reach it. Kept with the stroke
// (Stroke::reach) by every step that changes its geometry, since finding
// it again means reading every vertex; the view projects it onto the
// screen (render/screen_boxes.h). Pure data: no GL.

#include <limits>
#include <vector>

// An axis-aligned box in the scene; empty until something is added.
struct SceneBox {
  float lo[3] = {std::numeric_limits<float>::infinity(), lo[0], lo[0]};
  float hi[3] = {-std::numeric_limits<float>::infinity(), hi[0], hi[0]};
  bool Empty() const { return lo[0] > hi[0]; }
  void Add(float x, float y, float z);
  void Add(const SceneBox& other);
  bool operator==(const SceneBox& other) const;
};

// Items [first, first + count) of a list (faces of a mesh, particles) and
// the box of what they draw. Runs are consecutive in their lists: a mesh's
// faces go along the path a cross-section at a time (and a subdivided
// face's four follow one another), so a run covers a short stretch of the
// stroke.
struct RunBox {
  int first = 0;
  int count = 0;
  SceneBox box;
  bool operator==(const RunBox& other) const;
};

struct StrokeReach {
  SceneBox whole;
  std::vector<RunBox> baseFaces;    // of the base mesh
  std::vector<RunBox> resultFaces;  // of the subdivided mesh
  std::vector<RunBox> particles;
  bool operator==(const StrokeReach& other) const;
};

struct Stroke;

// The reach computed from the stroke as it stands.
StrokeReach ReachOf(const Stroke& stroke);
// stroke.reach = ReachOf(stroke): every step that changes a stroke's
// meshes, particles, path or outline ends with it.
void KeepReach(Stroke& stroke);
// True when `runs` cover items 0 to count - 1, in order and once each, so
// that drawing some of them reads only items the list has. Runs kept from
// another list fail it, and a pass draws the whole list instead.
bool RunsCover(const std::vector<RunBox>& runs, int count);
