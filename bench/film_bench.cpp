// Films of a 1000-stroke painting: frames a second at 1920 × 1080 and
// 1280 × 720 through the whole way (drawn off the screen, read back,
// encoded on the writer's thread), and each part of it alone: drawing,
// reading back, encoding H.264. Then the peak memory of a 10-second and a
// 60-second film, which must stay the same (frames are streamed).
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "camera/environment.h"
#include "export/film_encoder.h"
#include "export/film_timeline.h"
#include "image/textures.h"
#include "render/gl_features.h"
#include "render/offscreen_frame.h"
#include "stroke/build.h"
#include "tests/support/gl_window.h"
#include "tests/support/height_map.h"
#include "tests/support/scratch_dir.h"

namespace {

Stroke DefaultStroke(int index) {
  Stroke stroke;
  const float y = -0.9f + 1.8f * static_cast<float>(index % 97) / 97.0f;
  for (int i = 0; i < 20; ++i)
    AddNode(stroke, Vec4(-0.9f + 0.09f * i, y + 0.05f * std::sin(0.7f * i + index), 0, 0));
  RandomGenerator random;
  BuildStroke(stroke, BuildContext{StrokeSettings(), random, HeadlessBuildHooks()});
  return stroke;
}

// The painting as the main view shows it at start, with 1000 strokes.
const SceneView& PaintingView() {
  static SceneView* view = [] {
    EnsureHiddenGlWindow(64, 64);
    std::FILE* saved = stdout;
    stdout = std::fopen("/dev/null", "w");
    ReportGLEnvironment();
    InitRenderState();
    InitMaterial();
    auto* made = new SceneView;
    InitLight(made->light);
    LoadAllMaps(MapFileTable());
    made->camera.Init(made->light);
    auto* canvas = new Canvas;
    for (int i = 0; i < 1000; ++i) canvas->strokes[i] = DefaultStroke(i);
    canvas->count = 1000;
    made->canvas = canvas;
    made->display.cursorOn = 0;
    std::fclose(stdout);
    stdout = saved;
    return made;
  }();
  return *view;
}

std::string FilmPath(const char* name) {
  static ScratchDir folder;
  return folder.File(name);
}

FilmSettings SizeOf(const benchmark::State& state) {
  FilmSettings settings;
  settings.width = static_cast<int>(state.range(0));
  settings.height = static_cast<int>(state.range(1));
  return settings;
}

// The whole way, as a film is made: frames a second.
void BM_FilmFrames(benchmark::State& state) {
  const FilmSettings settings = SizeOf(state);
  const SceneView& view = PaintingView();
  OffscreenFrame frame(settings.width, settings.height);
  std::string error;
  FilmWriter writer(OpenFilmOutput(FilmPath("frames.mp4"), settings.width, settings.height,
                                   settings.fps, &error));
  for (auto _ : state) {
    FilmPixels pixels;
    frame.Draw(view, 0.0, &pixels);
    writer.Hand(std::move(pixels));
  }
  writer.Finish();
  state.counters["fps"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// Drawing alone (glFinish: the GL is done when it returns).
void BM_FilmDraw(benchmark::State& state) {
  const FilmSettings settings = SizeOf(state);
  OffscreenFrame frame(settings.width, settings.height);
  for (auto _ : state) {
    frame.Render(PaintingView(), 0.0);
    glFinish();
  }
}

// Reading a drawn frame back.
void BM_FilmReadBack(benchmark::State& state) {
  const FilmSettings settings = SizeOf(state);
  OffscreenFrame frame(settings.width, settings.height);
  frame.Render(PaintingView(), 0.0);
  FilmPixels pixels;
  for (auto _ : state) frame.Read(&pixels);
}

// Encoding alone: colour conversion and H.264, on this thread.
void BM_FilmEncode(benchmark::State& state) {
  const FilmSettings settings = SizeOf(state);
  OffscreenFrame frame(settings.width, settings.height);
  FilmPixels pixels;
  frame.Draw(PaintingView(), 0.0, &pixels);
  std::string error;
  auto output =
      OpenFilmOutput(FilmPath("encode.mp4"), settings.width, settings.height, settings.fps, &error);
  for (auto _ : state) output->Add(pixels, &error);
  output->Finish(&error);
}

// The peak resident memory (kB) since it was last reset.
long PeakKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// Peak memory of films of 10 and 60 seconds at 1280 × 720, reset before
// each (writing 5 to clear_refs starts the peak from what is resident).
void BM_FilmPeakMemory(benchmark::State& state) {
  FilmSettings settings;
  settings.width = 1280;
  settings.height = 720;
  settings.seconds = static_cast<double>(state.range(0));
  // The memory of streaming, not of drawing: the painting's first strokes,
  // a scene quick enough for 1 800 frames.
  SceneView view = PaintingView();
  Canvas few = *view.canvas;
  few.count = 5;
  view.canvas = &few;
  for (auto _ : state) {
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = PeakKb();
    OffscreenFrame frame(settings.width, settings.height);
    std::string error;
    FilmWriter writer(OpenFilmOutput(FilmPath("memory.mp4"), settings.width, settings.height,
                                     settings.fps, &error));
    const FilmTimeline timeline(settings, 1);
    for (int i = 0; i < timeline.FrameCount(); ++i) {
      FilmPixels pixels;
      frame.Draw(view, timeline.Frame(i).lightTurn, &pixels);
      writer.Hand(std::move(pixels));
    }
    writer.Finish();
    state.counters["peak_MB"] = double(PeakKb()) / 1024.0;
    state.counters["growth_MB"] = double(PeakKb() - before) / 1024.0;
  }
}

#define SIZES Args({1920, 1080})->Args({1280, 720})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_FilmFrames)->SIZES->UseRealTime();
BENCHMARK(BM_FilmDraw)->SIZES;
BENCHMARK(BM_FilmReadBack)->SIZES;
BENCHMARK(BM_FilmEncode)->SIZES;
BENCHMARK(BM_FilmPeakMemory)
    ->Arg(10)
    ->Arg(60)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
