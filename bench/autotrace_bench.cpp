// Auto-trace of a 675 × 675 main view: the per-pixel read-back (three
// single-pixel glReadPixels and a glFinish per examined lattice pixel)
// against one read of the whole frame. Both run the same fill.

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "actions/readback.h"
#include "actions/trace.h"
#include "state/state.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int kViewSize = 675;

// The usual view: the light grey backdrop (bright everywhere, so the fill
// visits the whole lattice) crossed by a few dark bands.
void DrawTypicalView() {
  EnsureHiddenGlWindow(kViewSize, kViewSize);
  AppState().windows.main.width = AppState().windows.main.height = kViewSize;
  glViewport(0, 0, kViewSize, kViewSize);
  glClearColor(0.8f, 0.8f, 0.8f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  for (int band = 0; band < 4; ++band) {
    glScissor(100 + 130 * band, 0, 12, kViewSize - 100);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
}

void BM_TracePerPixelReads(benchmark::State& state) {
  DrawTypicalView();
  for (auto _ : state) {
    auto regions = TraceBrightRegions(ReadPixelChannel, kViewSize, kViewSize);
    benchmark::DoNotOptimize(regions);
  }
}
BENCHMARK(BM_TracePerPixelReads)->Unit(benchmark::kMillisecond);

void BM_TraceOneFrameRead(benchmark::State& state) {
  DrawTypicalView();
  std::vector<float> frame;
  for (auto _ : state) {
    ReadFrame(kViewSize, kViewSize, frame);
    auto regions = TraceBrightRegions(FrameChannelReader(frame, kViewSize, kViewSize), kViewSize,
                                      kViewSize);
    benchmark::DoNotOptimize(regions);
  }
}
BENCHMARK(BM_TraceOneFrameRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
