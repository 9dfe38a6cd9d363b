#include "stroke/reach.h"

#include <algorithm>

#include "stroke/drawn_form.h"
#include "stroke/stroke.h"

namespace {

// Faces and particles boxed together. A default cross-section is eight
// faces, so a run of faces is eight steps along the path. Runs of 16 drew
// fewer faces that miss a repaint box but took longer over a dense
// painting: each run reaching it is a draw of its own, and a draw costs
// more than a few dozen faces do.
constexpr int kFacesPerRun = 64;
constexpr int kParticlesPerRun = 32;

SceneBox BoxOfMesh(const Mesh& mesh) {
  SceneBox box;
  for (int v = 0; v < mesh.vertexCount; ++v)
    box.Add(mesh.positions[v].x, mesh.positions[v].y, mesh.positions[v].z);
  return box;
}

std::vector<RunBox> FaceRuns(const Mesh& mesh) {
  std::vector<RunBox> runs;
  for (int first = 0; first < mesh.faceCount; first += kFacesPerRun) {
    RunBox run;
    run.first = first;
    run.count = std::min(kFacesPerRun, mesh.faceCount - first);
    for (int f = first; f < first + run.count; ++f)
      for (int v : mesh.faces[f].vertex)
        run.box.Add(mesh.positions[v].x, mesh.positions[v].y, mesh.positions[v].z);
    runs.push_back(run);
  }
  return runs;
}

std::vector<RunBox> ParticleRuns(const ParticleSystem& particles) {
  std::vector<RunBox> runs;
  const std::size_t count = std::min(particles.positions.size(), particles.sizes.size());
  for (std::size_t first = 0; first < count; first += kParticlesPerRun) {
    RunBox run;
    run.first = static_cast<int>(first);
    run.count = static_cast<int>(std::min<std::size_t>(kParticlesPerRun, count - first));
    for (std::size_t i = first; i < first + run.count; ++i) {
      const ParticleQuad quad = QuadOfParticle(particles, i);
      for (const float* corner : quad.corner) run.box.Add(corner[0], corner[1], corner[2]);
    }
    runs.push_back(run);
  }
  return runs;
}

}  // namespace

void SceneBox::Add(float x, float y, float z) {
  const float p[3] = {x, y, z};
  for (int k = 0; k < 3; ++k) {
    lo[k] = std::min(lo[k], p[k]);
    hi[k] = std::max(hi[k], p[k]);
  }
}

void SceneBox::Add(const SceneBox& o) {
  if (o.Empty()) return;
  Add(o.lo[0], o.lo[1], o.lo[2]);
  Add(o.hi[0], o.hi[1], o.hi[2]);
}

bool SceneBox::operator==(const SceneBox& o) const {
  return std::equal(lo, lo + 3, o.lo) && std::equal(hi, hi + 3, o.hi);
}

bool RunBox::operator==(const RunBox& o) const {
  return first == o.first && count == o.count && box == o.box;
}

bool StrokeReach::operator==(const StrokeReach& o) const {
  return whole == o.whole && baseFaces == o.baseFaces && resultFaces == o.resultFaces &&
         particles == o.particles;
}

StrokeReach ReachOf(const Stroke& stroke) {
  StrokeReach reach;
  SceneBox& box = reach.whole;
  if (const auto& base = stroke.subdivision.baseMesh) {
    box.Add(BoxOfMesh(*base));
    reach.baseFaces = FaceRuns(*base);
  }
  if (const auto& result = stroke.subdivision.resultMesh) {
    box.Add(BoxOfMesh(*result));
    reach.resultFaces = FaceRuns(*result);
  }
  reach.particles = ParticleRuns(stroke.particles);
  for (const RunBox& run : reach.particles) box.Add(run.box);
  for (const StrokeNode& node : stroke.path)
    box.Add(node.position.x, node.position.y, node.position.z);
  for (const Vec4& corner : stroke.bounds) box.Add(corner.x, corner.y, 0.01f);
  return reach;
}

void KeepReach(Stroke& stroke) { stroke.reach = ReachOf(stroke); }

bool RunsCover(const std::vector<RunBox>& runs, int count) {
  int next = 0;
  for (const RunBox& run : runs) {
    if (run.first != next || run.count <= 0) return false;
    next += run.count;
  }
  return next == count;
}
