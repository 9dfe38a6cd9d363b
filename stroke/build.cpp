#include "stroke/build.h"

#include <cstdio>

#include "common/progress.h"
#include "stroke/bspline.h"
#include "stroke/collisions.h"
#include "stroke/mesh.h"
#include "stroke/particles.h"
#include "stroke/shape.h"

namespace {

// Mesh wins over particles; with neither switch on the type stays.
void ChooseRenderType(Stroke& stroke, const StrokeSettings& settings) {
  if (settings.showMesh)
    stroke.renderType = kRenderMesh;
  else if (settings.showParticles)
    stroke.renderType = kRenderParticles;
}

HeightMap ReadHeightMap(const BuildHooks& hooks) {
  return hooks.readHeightMap ? hooks.readHeightMap() : HeightMap();
}

}  // namespace

void AddNode(Stroke& stroke, const Vec4& position, float pressure) {
  StrokeNode node;
  node.position = position;
  node.pressure = pressure;
  stroke.nodes.push_back(node);
  stroke.path.push_back(node);
}

void ClearStroke(Stroke& stroke) {
  stroke.nodes.clear();
  stroke.path.clear();
  stroke.subdivision.baseMesh.reset();
  stroke.subdivision.resultMesh.reset();
  stroke.subdivision.edges = {};  // released, not only emptied
  stroke.subdivision.edgeFaces = {};
  stroke.subdivision.faceEdges = {};
  stroke.subdivision.edgeIndex = EdgeIndex();
  stroke.subdivision.edgeCount = 0;
  stroke.deleted = 0;
  stroke.renderType = kRenderNothing;
  KeepReach(stroke);
}

void SetWidthRange(Stroke& stroke, float start, float end) {
  stroke.size.widthStart = start;
  stroke.size.widthEnd = end;
}

void SetHeightRange(Stroke& stroke, float start, float end) {
  stroke.size.heightStart = start;
  stroke.size.heightEnd = end;
}

namespace {

void BuildSteps(Stroke& stroke, const BuildContext& build) {
  const StrokeSettings& settings = build.settings;
  PrintLine("\tGenerating PATH data....");
  BuildPath(stroke, settings.pathLod);
  PrintLine("\tGenerating SHAPE data....");
  BuildShape(stroke, static_cast<float>(settings.shapeLod), settings, ReadHeightMap(build.hooks));
  PrintLine("\tGenerating PERP data....");
  BuildPerpendiculars(stroke, settings, build.random);
  std::printf("\tGenerating MESH data....");
  BuildMesh(stroke, settings.subdivisionLevels);
  const Mesh* base = stroke.subdivision.baseMesh ? &*stroke.subdivision.baseMesh : nullptr;
  std::printf(" (v:%d, f:%d) \n", base ? base->vertexCount : 0, base ? base->faceCount : 0);
  std::fflush(stdout);
  PrintLine("\tGenerating PARTICLE data....");
  GenerateParticles(stroke, settings, build.random, build.hooks);
  PrintLine("\tGenerating BOUNDINGBOX data....");
  ComputeBounds(stroke);
  ChooseRenderType(stroke, settings);
  PrintLine("\t------------------------------");
  PrintLine("\tFinished building Stroke data.");
  PrintLine("");
}

}  // namespace

void BuildStroke(Stroke& stroke, const BuildContext& build) {
  PrintLine("\tBuilding Stroke data....");
  PrintLine("\t------------------------------");
  // A stroke too short to build still shows its nodes.
  if (stroke.path.size() >= 3) BuildSteps(stroke, build);
  KeepReach(stroke);
}

void ResizeStroke(Stroke& stroke, const StrokeSettings& settings, RandomGenerator& random) {
  BuildPerpendiculars(stroke, settings, random);
  BuildMesh(stroke, settings.subdivisionLevels);
  ChooseRenderType(stroke, settings);
}

void UpdateStroke(Stroke& stroke, const BuildContext& build) {
  const StrokeSettings& settings = build.settings;
  BuildPath(stroke, settings.pathLod);
  BuildShape(stroke, static_cast<float>(settings.shapeLod), settings, ReadHeightMap(build.hooks));
  BuildPerpendiculars(stroke, settings, build.random);
  BuildMesh(stroke, settings.subdivisionLevels);
  ChooseRenderType(stroke, settings);
}
