#include "stroke/build.h"

#include <cstdio>

#include "app/state.h"
#include "render/collisions.h"
#include "render/particles.h"
#include "stroke/bspline.h"
#include "stroke/canvas.h"
#include "stroke/mesh.h"
#include "stroke/shape.h"

void (*HideStrokePanelWindow)() = nullptr;
void (*ShowSizePanelWindow)() = nullptr;

namespace {

void PrintLine(const char* text) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}

void ChooseRenderType(Stroke& stroke) {
  if (ShowMesh)
    stroke.renderType = 1;
  else if (ShowParticles)
    stroke.renderType = 2;
}

Stroke* SelectedStrokeRecord() { return TheCanvas.StrokeNumber(SelectedStroke); }

// The Size panel's normal-node values, stored in the stroke.
void TakeSizeSettings(Stroke& stroke) {
  SetWidthRange(stroke, WidthStart, WidthEnd);
  SetHeightRange(stroke, HeightStart, HeightEnd);
}

}  // namespace

void AddNode(Stroke& stroke, const Vec4& position) {
  StrokeNode node;
  node.position = position;
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
  stroke.subdivision.edgeIndex = EdgeIndex();
  stroke.subdivision.edgeCount = 0;
  stroke.deleted = 0;
  stroke.renderType = 0;
}

void SetWidthRange(Stroke& stroke, float start, float end) {
  stroke.size.widthStart = start;
  stroke.size.widthEnd = end;
}

void SetHeightRange(Stroke& stroke, float start, float end) {
  stroke.size.heightStart = start;
  stroke.size.heightEnd = end;
}

void BuildStroke(Stroke& stroke) {
  PrintLine("\tBuilding Stroke data....");
  PrintLine("\t------------------------------");
  if (stroke.path.size() < 3) return;
  PrintLine("\tGenerating PATH data....");
  BuildPath(stroke);
  PrintLine("\tGenerating SHAPE data....");
  BuildShape(stroke, static_cast<float>(ShapeLod));
  PrintLine("\tGenerating PERP data....");
  BuildPerpendiculars(stroke);
  std::printf("\tGenerating MESH data....");
  BuildMesh(stroke);
  const Mesh* base = stroke.subdivision.baseMesh ? &*stroke.subdivision.baseMesh : nullptr;
  std::printf(" (v:%d, f:%d) \n", base ? base->vertexCount : 0, base ? base->faceCount : 0);
  std::fflush(stdout);
  PrintLine("\tGenerating PARTICLE data....");
  GenerateParticles(stroke);
  PrintLine("\tGenerating BOUNDINGBOX data....");
  ComputeBounds(stroke);
  ChooseRenderType(stroke);
  PrintLine("\t------------------------------");
  PrintLine("\tFinished building Stroke data.");
  PrintLine("");
}

void ResizeSelectedStroke() {
  Stroke* stroke = SelectedStrokeRecord();
  if (!stroke) return;
  TakeSizeSettings(*stroke);
  BuildPerpendiculars(*stroke);
  BuildMesh(*stroke);
  ChooseRenderType(*stroke);
}

void UpdateSelectedStroke() {
  Stroke* stroke = SelectedStrokeRecord();
  if (!stroke) return;
  TakeSizeSettings(*stroke);
  BuildPath(*stroke);
  BuildShape(*stroke, static_cast<float>(ShapeLod));
  BuildPerpendiculars(*stroke);
  BuildMesh(*stroke);
  ChooseRenderType(*stroke);
}

void OnStrokePanelControl(int id) {
  const bool selection = TheCanvas.count > 0 && SelectedStroke != 0;
  switch (id) {
    case 1:
      if (HideStrokePanelWindow) HideStrokePanelWindow();
      break;
    case 2:
      if (ShowSizePanelWindow) ShowSizePanelWindow();
      break;
    case 3:
    case 4: {
      if (!selection) break;
      const float step = id == 3 ? 0.01f : -0.01f;
      WidthStart += step;
      HeightStart += step;
      WidthEnd = 0.0f;
      HeightEnd = 0.0f;
      ResizeSelectedStroke();
      break;
    }
    case 5:
      if (ShowParticles) ShowMesh = 0;
      break;
    case 6:
      if (ShowMesh) ShowParticles = 0;
      break;
    case 7:
      if (selection) UpdateSelectedStroke();
      break;
    default:
      break;
  }
}
