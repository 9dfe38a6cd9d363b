// The stroke build: whole builds of painted strokes, butterfly levels, and
// the collision check over many crossing strokes.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "app/state.h"
#include "render/collisions.h"
#include "stroke/build.h"
#include "stroke/mesh.h"
#include "stroke/subdivision.h"
#include "tests/support/gl_window.h"

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
void QuietBuild(Stroke& stroke) {
  std::FILE* saved = stdout;
  stdout = std::fopen("/dev/null", "w");
  BuildStroke(stroke);
  std::fclose(stdout);
  stdout = saved;
}

void BM_BuildStroke(benchmark::State& state) {
  EnsureHiddenGlWindow();
  PathLod = ShapeLod = static_cast<int>(state.range(1));
  SubdivisionLevels = 0;
  // The first build in a process also pays for the memory the system hands
  // over on first touch (on a virtual machine, up to seconds per GiB); it is
  // reported on its own, apart from the rebuilds timed in the loop.
  const auto start = std::chrono::steady_clock::now();
  {
    Stroke stroke = PaintedStroke(static_cast<int>(state.range(0)), 0.0f);
    QuietBuild(stroke);
  }
  state.counters["firstBuildMs"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) {
    Stroke stroke = PaintedStroke(static_cast<int>(state.range(0)), 0.0f);
    QuietBuild(stroke);
    benchmark::DoNotOptimize(stroke.subdivision.baseMesh->faceCount);
  }
  ResetApplicationStateForTesting();
}
BENCHMARK(BM_BuildStroke)->Args({100, 5})->Args({500, 64})->Unit(benchmark::kMillisecond);

long PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void BM_Subdivide(benchmark::State& state) {
  EnsureHiddenGlWindow();
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

void BM_CheckCollisions(benchmark::State& state) {
  EnsureHiddenGlWindow();
  std::mt19937 random(9);
  std::uniform_real_distribution<float> phase(0.0f, 6.28f);
  Canvas* canvas = new Canvas;
  canvas->count = 200;
  for (int i = 0; i < canvas->count; ++i) {
    Stroke& stroke = canvas->strokes[i];
    stroke = PaintedStroke(100, phase(random));
    QuietBuild(stroke);
  }
  for (auto _ : state) {
    state.PauseTiming();
    Canvas fresh = *canvas;
    std::FILE* saved = stdout;
    stdout = std::fopen("/dev/null", "w");
    state.ResumeTiming();
    CheckCollisions(fresh);
    state.PauseTiming();
    std::fclose(stdout);
    stdout = saved;
    state.ResumeTiming();
  }
  delete canvas;
}
BENCHMARK(BM_CheckCollisions)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
