// The stroke build: whole builds of painted strokes, butterfly levels, and
// the collision check over many crossing strokes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "stroke/build.h"
#include "stroke/collisions.h"
#include "stroke/mesh.h"
#include "stroke/subdivision.h"
#include "tests/support/height_map.h"

namespace {

Stroke PaintedStroke(int nodes, float phase) {
  Stroke stroke;
  for (int i = 0; i < nodes; ++i) {
    const float t = static_cast<float>(i) / nodes;
    AddNode(stroke, Vec4(-0.9f + 1.8f * t, 0.5f * std::sin(6.0f * t + phase), 0, 0));
  }
  return stroke;
}

// Builds quietly: the console lines are not what is measured.
void QuietBuild(Stroke& stroke, const StrokeSettings& settings = StrokeSettings()) {
  std::FILE* saved = stdout;
  stdout = std::fopen("/dev/null", "w");
  RandomGenerator random;
  BuildStroke(stroke, BuildContext{settings, random, HeadlessBuildHooks()});
  std::fclose(stdout);
  stdout = saved;
}

void BM_BuildStroke(benchmark::State& state) {
  StrokeSettings settings;
  settings.pathLod = settings.shapeLod = static_cast<int>(state.range(1));
  // The first build in a process also pays for the memory the system hands
  // over on first touch (on a virtual machine, up to seconds per GiB); it is
  // reported on its own, apart from the rebuilds timed in the loop.
  const auto start = std::chrono::steady_clock::now();
  {
    Stroke stroke = PaintedStroke(static_cast<int>(state.range(0)), 0.0f);
    QuietBuild(stroke, settings);
  }
  state.counters["firstBuildMs"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) {
    Stroke stroke = PaintedStroke(static_cast<int>(state.range(0)), 0.0f);
    QuietBuild(stroke, settings);
    benchmark::DoNotOptimize(stroke.subdivision.baseMesh->faceCount);
  }
}
BENCHMARK(BM_BuildStroke)->Args({100, 5})->Args({500, 64})->Unit(benchmark::kMillisecond);

long PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void BM_Subdivide(benchmark::State& state) {
  Stroke stroke = PaintedStroke(100, 0.0f);
  QuietBuild(stroke);
  MeshSubdivision& subdivision = stroke.subdivision;
  subdivision.levels = static_cast<int>(state.range(0));
  for (auto _ : state) Subdivide(subdivision);
  const double faces = subdivision.resultMesh->faceCount;
  state.counters["faces"] = faces;
  state.counters["ns/face"] = benchmark::Counter(
      faces * state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["peakMiB"] = static_cast<double>(PeakMemoryMiB());
}
BENCHMARK(BM_Subdivide)->DenseRange(1, 5)->Unit(benchmark::kMillisecond)->Iterations(1);

// 200 strokes of 100 nodes across the canvas, each crossing most others.
Canvas* CrossingCanvas() {
  std::mt19937 random(9);
  std::uniform_real_distribution<float> phase(0.0f, 6.28f);
  Canvas* canvas = new Canvas;
  canvas->count = 200;
  for (int i = 0; i < canvas->count; ++i) {
    Stroke& stroke = canvas->strokes[i];
    stroke = PaintedStroke(100, phase(random));
    QuietBuild(stroke);
  }
  return canvas;
}

// Runs `action` with standard output sent to /dev/null.
template <typename Action>
void Silently(Action action) {
  std::FILE* saved = stdout;
  stdout = std::fopen("/dev/null", "w");
  action();
  std::fclose(stdout);
  stdout = saved;
}

// The check over freshly built strokes: every crossing deflects a point.
void BM_CheckCollisions(benchmark::State& state) {
  Canvas* canvas = CrossingCanvas();
  for (auto _ : state) {
    state.PauseTiming();
    Canvas* fresh = new Canvas(*canvas);
    state.ResumeTiming();
    Silently([&] { CheckCollisions(*fresh, CollisionFactors(), 0); });
    state.PauseTiming();
    delete fresh;
    state.ResumeTiming();
  }
  delete canvas;
}
BENCHMARK(BM_CheckCollisions)->Unit(benchmark::kMillisecond)->Iterations(1);

// What a release of the mouse costs with "C" ticked on a canvas of 200
// crossing strokes that piled up before: the new stroke's build and the
// check over all 201. Most crossings meet locked points by now: only the
// strokes whose points moved are re-meshed.
void BM_CommitWithCollisions(benchmark::State& state) {
  Canvas* canvas = CrossingCanvas();
  Silently([&] { CheckCollisions(*canvas, CollisionFactors(), 0); });
  StrokeSettings settings;
  for (auto _ : state) {
    state.PauseTiming();
    Canvas* fresh = new Canvas(*canvas);
    for (int i = 0; i < 100; ++i) {
      const float t = static_cast<float>(i) / 100;
      fresh->AddPoint(0.9f - 1.8f * t, 0.6f * std::cos(5.0f * t));
    }
    RandomGenerator random;
    state.ResumeTiming();
    Silently([&] {
      fresh->CommitStroke(BuildContext{settings, random, HeadlessBuildHooks()});
      CheckCollisions(*fresh, CollisionFactors(), settings.subdivisionLevels);
    });
    state.PauseTiming();
    delete fresh;
    state.ResumeTiming();
  }
  delete canvas;
}
BENCHMARK(BM_CommitWithCollisions)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
