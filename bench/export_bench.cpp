// Exporting a painting: 100 default strokes in each format, the relief
// solid from a 1024 × 1024 height field, and undoing a commit whose
// collision check piled paint up on over 100 strokes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "export/painting.h"
#include "export/relief.h"
#include "image/textures.h"
#include "stroke/build.h"
#include "stroke/collisions.h"
#include "stroke/history.h"
#include "tests/support/height_map.h"

namespace {

// Console lines of the builds are not what is measured.
class Quiet {
 public:
  Quiet() : saved_(stdout) { stdout = std::fopen("/dev/null", "w"); }
  ~Quiet() {
    std::fclose(stdout);
    stdout = saved_;
  }

 private:
  std::FILE* saved_;
};

void AddStroke(Canvas& canvas, const std::vector<Vec4>& nodes, const StrokeSettings& settings) {
  for (const Vec4& node : nodes) canvas.AddPoint(node.x, node.y);
  RandomGenerator random;
  canvas.CommitStroke(BuildContext{settings, random, HeadlessBuildHooks()});
}

// 100 strokes of 20 nodes, built with the default settings, as the scene
// benchmark paints them.
const Canvas& DefaultCanvas() {
  static const Canvas* canvas = [] {
    Quiet quiet;
    auto* built = new Canvas;
    StrokeSettings settings;
    settings.startColour = settings.endColour = Vec4(0.7f, 0.4f, 0.2f, 0);
    for (int index = 0; index < 100; ++index) {
      const float y = -0.9f + 1.8f * static_cast<float>(index % 97) / 97.0f;
      std::vector<Vec4> nodes;
      for (int i = 0; i < 20; ++i)
        nodes.emplace_back(-0.9f + 0.09f * i, y + 0.05f * std::sin(0.7f * i + index), 0, 0);
      AddStroke(*built, nodes, settings);
    }
    return built;
  }();
  return *canvas;
}

// A folder for the files, removed at exit.
const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kelvra_export_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return pattern;
  }();
  return folder;
}

ExportSettings Settings(int grid) {
  ExportSettings settings;
  settings.reliefGrid = grid;
  const MapFileTable maps;
  settings.meshMap = maps[MAP_MESH];
  settings.detailMap = maps[MAP_DETAIL];
  settings.particleMap = maps[MAP_PARTICLE_BRUSH];
  return settings;
}

void Export(benchmark::State& state, const char* extension, int grid) {
  const Canvas& canvas = DefaultCanvas();
  const std::string path = Folder() + "/painting." + extension;
  const ExportSettings settings = Settings(grid);
  for (auto _ : state) {
    const std::string error = ExportPainting(canvas, path, settings);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void BM_ExportGlb(benchmark::State& state) { Export(state, "glb", 512); }
void BM_ExportObj(benchmark::State& state) { Export(state, "obj", 512); }
void BM_ExportPly(benchmark::State& state) { Export(state, "ply", 512); }
void BM_ExportStl(benchmark::State& state) {
  Export(state, "stl", static_cast<int>(state.range(0)));
}
void BM_ExportPng(benchmark::State& state) {
  Export(state, "png", static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ExportGlb)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportObj)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportPly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportStl)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportPng)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of a 1024² relief export: sampling, the solid.
void BM_SampleHeightField(benchmark::State& state) {
  const Canvas& canvas = DefaultCanvas();
  for (auto _ : state) benchmark::DoNotOptimize(SampleHeightField(canvas, 1024));
}
void BM_BuildReliefSolid(benchmark::State& state) {
  const HeightField field = SampleHeightField(DefaultCanvas(), 1024);
  for (auto _ : state) benchmark::DoNotOptimize(BuildReliefSolid(field, 100.0f));
}
BENCHMARK(BM_SampleHeightField)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildReliefSolid)->Unit(benchmark::kMillisecond)->UseRealTime();

// One long stroke across the canvas, 120 strokes across it committed with
// the collision check off, then one more committed with it on: the check
// piles paint up on all 121 crossing strokes. The step is recorded as the
// painter records a commit; undoing it swaps 122 records back.
void BM_UndoPiledUpCommit(benchmark::State& state) {
  auto canvas = std::make_unique<Canvas>();
  CanvasHistory history;
  int selection = 0;
  {
    Quiet quiet;
    StrokeSettings settings;
    std::vector<Vec4> across;
    for (int i = 0; i < 20; ++i) across.emplace_back(-0.95f + 0.1f * i, 0.02f * (i % 2), 0, 0);
    AddStroke(*canvas, across, settings);
    auto upright = [](float x) {
      std::vector<Vec4> nodes;
      for (int i = 0; i < 20; ++i)
        nodes.emplace_back(x + 0.003f * (i % 2), -0.9f + 0.09f * i, 0, 0);
      return nodes;
    };
    for (int k = 0; k < 120; ++k) AddStroke(*canvas, upright(-0.9f + 1.8f * k / 120.0f), settings);
    history.Begin(*canvas, selection);
    history.KeepStroke(*canvas, canvas->count);
    AddStroke(*canvas, upright(0.905f), settings);
    CheckCollisions(*canvas, CollisionFactors(), settings.subdivisionLevels,
                    [&](int slot) { history.KeepStroke(*canvas, slot); });
    history.End(*canvas, selection);
  }
  state.counters["strokes"] = static_cast<double>(history.UndoSlots().size());
  state.counters["MB kept"] = static_cast<double>(history.Bytes()) / 1e6;
  for (auto _ : state) {
    history.Undo(*canvas, selection);
    state.PauseTiming();
    history.Redo(*canvas, selection);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoPiledUpCommit)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
