// Painting documents: saving and opening a painting of 1000 strokes
// (default strokes, every tenth subdivided once, every seventh drawn as
// particles), opening against building the same strokes again from their
// nodes, and the autosave's cost on the main thread: encoding the one
// stroke an action changed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "common/quiet_console.h"
#include "document/document.h"
#include "stroke/build.h"
#include "tests/support/height_map.h"

namespace {

constexpr int kStrokes = 1000;

StrokeSettings SettingsOfStroke(int i) {
  StrokeSettings settings;
  if (i % 10 == 0) settings.subdivisionLevels = 1;
  if (i % 7 == 0) settings.showParticles = 1, settings.showMesh = 0;
  return settings;
}

// A drag of 20 nodes across the canvas, one of many directions.
Stroke PaintedStroke(int i) {
  Stroke stroke;
  const float angle = 0.37f * static_cast<float>(i);
  for (int n = 0; n < 20; ++n) {
    const float t = static_cast<float>(n) / 20.0f;
    AddNode(stroke, Vec4(0.8f * std::cos(angle) * (t - 0.5f) + 0.1f * std::sin(5.0f * t),
                         0.8f * std::sin(angle) * (t - 0.5f), 0.0f, 0.0f));
  }
  return stroke;
}

// Builds with the console lines silenced: they are not what is measured.
template <typename Action>
void Quietly(Action action) {
  QuietConsole quiet;
  action();
}

// Builds every stroke from its nodes, as committing them did.
std::vector<Stroke> BuildAll(const BuildHooks& hooks) {
  std::vector<Stroke> strokes;
  strokes.reserve(kStrokes);
  RandomGenerator random;
  Quietly([&] {
    for (int i = 0; i < kStrokes; ++i) {
      strokes.push_back(PaintedStroke(i));
      const StrokeSettings settings = SettingsOfStroke(i);
      BuildStroke(strokes.back(), BuildContext{settings, random, hooks});
    }
  });
  return strokes;
}

const Painting& ThePainting() {
  static const Painting painting = [] {
    Painting p;
    p.strokes = BuildAll(HeadlessBuildHooks());
    return p;
  }();
  return painting;
}

const Bytes& TheFile() {
  static const Bytes file = [] {
    Bytes bytes;
    std::string error;
    EncodePainting(SnapshotOf(ThePainting()), bytes, error);
    return bytes;
  }();
  return file;
}

void BM_SavePainting(benchmark::State& state) {
  const Painting& painting = ThePainting();
  const std::string path = "/tmp/kelvra_document_bench_" + std::to_string(::getpid()) + ".kelvra";
  std::string error;
  for (auto _ : state)
    if (!SavePainting(path, painting, error)) state.SkipWithError(error.c_str());
  state.counters["fileMiB"] = static_cast<double>(TheFile().size()) / (1 << 20);
  ::unlink(path.c_str());
}
BENCHMARK(BM_SavePainting)->Unit(benchmark::kMillisecond);

// The writer's part alone, on strokes already encoded (what the autosave
// thread does).
void BM_EncodeSnapshot(benchmark::State& state) {
  const PaintingSnapshot snapshot = SnapshotOf(ThePainting());
  Bytes file;
  std::string error;
  for (auto _ : state) {
    EncodePainting(snapshot, file, error);
    benchmark::DoNotOptimize(file.data());
  }
}
BENCHMARK(BM_EncodeSnapshot)->Unit(benchmark::kMillisecond);

void BM_OpenPainting(benchmark::State& state) {
  const Bytes& file = TheFile();
  for (auto _ : state) {
    const OpenedPainting opened = ReadPainting(file.data(), file.size(), "bench.kelvra");
    if (!opened.Ok()) state.SkipWithError(opened.error.c_str());
    benchmark::DoNotOptimize(opened.painting.strokes.data());
  }
}
BENCHMARK(BM_OpenPainting)->Unit(benchmark::kMillisecond);

// What opening is measured against: the same strokes built again from
// their nodes. The height map is read once, as the painter's hook hands
// it over from memory.
void BM_RebuildFromNodes(benchmark::State& state) {
  static const HeightMap map = ReadDefaultHeightMap();
  BuildHooks hooks;
  hooks.readHeightMap = [] {
    HeightMap copy;
    copy.width = map.width;
    copy.height = map.height;
    copy.bytesPerPixel = map.bytesPerPixel;
    copy.rowOrder = map.rowOrder;
    copy.pixels = map.pixels;
    return copy;
  };
  for (auto _ : state) benchmark::DoNotOptimize(BuildAll(hooks).data());
}
BENCHMARK(BM_RebuildFromNodes)->Unit(benchmark::kMillisecond);

// The autosave's per-action cost on the main thread: one stroke encoded.
void BM_EncodeOneStroke(benchmark::State& state) {
  const Stroke& stroke = ThePainting().strokes[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) benchmark::DoNotOptimize(EncodeStroke(stroke)->bytes.data());
  state.counters["recordKiB"] = static_cast<double>(EncodeStroke(stroke)->bytes.size()) / 1024;
}
// A mesh stroke, a subdivided one, a particle one.
BENCHMARK(BM_EncodeOneStroke)->Arg(1)->Arg(10)->Arg(7)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
