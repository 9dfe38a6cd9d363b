#include "tests/export/canvases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "stroke/build.h"
#include "stroke/mesh.h"
#include "tests/support/console.h"
#include "tests/support/height_map.h"

namespace {

void Paint(Canvas& canvas, const StrokeSettings& settings, RandomGenerator& random, float y,
           int nodes) {
  for (int i = 0; i < nodes; ++i) canvas.AddPoint(-0.6f + 0.15f * i, y + 0.04f * (i % 2));
  Quietly([&] { canvas.CommitStroke(BuildContext{settings, random, HeadlessBuildHooks()}); });
}

}  // namespace

std::unique_ptr<Canvas> MixedCanvas() {
  auto canvas = std::make_unique<Canvas>();
  RandomGenerator random;
  StrokeSettings settings;
  settings.startColour = settings.endColour = Vec4(0.8f, 0.3f, 0.2f, 0.0f);
  Paint(*canvas, settings, random, 0.5f, 6);
  settings.subdivisionLevels = 1;
  settings.startColour = settings.endColour = Vec4(0.2f, 0.5f, 0.9f, 0.0f);
  Paint(*canvas, settings, random, 0.0f, 5);
  settings.subdivisionLevels = 0;
  settings.showParticles = 1, settings.showMesh = 0;
  settings.startColour = Vec4(0.1f, 0.9f, 0.3f, 0.0f);
  Paint(*canvas, settings, random, -0.5f, 4);
  settings.showParticles = 0, settings.showMesh = 1;
  Paint(*canvas, settings, random, 0.8f, 5);
  canvas->DeleteStroke(3);
  Paint(*canvas, settings, random, -0.8f, 2);
  return canvas;
}

void AddPyramid(Canvas& canvas, float x, float y, float z, float half) {
  Stroke& stroke = canvas.strokes[canvas.count++];
  stroke.renderType = 1;
  Mesh mesh;
  AllocateVertices(mesh, 12);
  AllocateFaces(mesh, 4);
  const Vec4 apex(x, y, z, 0);
  const Vec4 corners[4] = {Vec4(x - half, y - half, 0, 0), Vec4(x + half, y - half, 0, 0),
                           Vec4(x + half, y + half, 0, 0), Vec4(x - half, y + half, 0, 0)};
  for (int f = 0; f < 4; ++f) {
    const Vec4 p[3] = {corners[f], corners[(f + 1) % 4], apex};
    for (int k = 0; k < 3; ++k) {
      mesh.positions[3 * f + k] = p[k];
      mesh.colours[3 * f + k] = Vec4(1, 1, 1, 1);
      mesh.faces[f].vertex[k] = 3 * f + k;
    }
  }
  ComputeVertexNormals(mesh);
  ComputePlanarTexCoords(mesh);
  stroke.subdivision.baseMesh = std::move(mesh);
}

ExportSettings ExportSettingsWithDefaultMaps() {
  ExportSettings settings;
  settings.meshMap = "Textures/Meshmap/Bump.bmp";
  settings.detailMap = "Textures/Detailmap/papier1.bmp";
  settings.particleMap = "Textures/Partmap/Brush.bmp";
  return settings;
}

std::string Contents(const std::string& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
