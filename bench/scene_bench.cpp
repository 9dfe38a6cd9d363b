// Frame time of the main view's scene pass with many strokes: meshes drawn
// from the buffers they were put in once, sent from their arrays every
// frame, and sent one glBegin/glEnd per triangle.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "camera/camera.h"
#include "camera/environment.h"
#include "image/textures.h"
#include "render/easel.h"
#include "render/gl_features.h"
#include "render/scene.h"
#include "stroke/build.h"
#include "tests/support/gl_window.h"
#include "tests/support/height_map.h"

namespace {

// A painted stroke of 20 nodes built with the default settings.
Stroke DefaultStroke(int index) {
  Stroke stroke;
  const float y = -0.9f + 1.8f * static_cast<float>(index % 97) / 97.0f;
  for (int i = 0; i < 20; ++i)
    AddNode(stroke, Vec4(-0.9f + 0.09f * i, y + 0.05f * std::sin(0.7f * i + index), 0, 0));
  RandomGenerator random;
  BuildStroke(stroke, BuildContext{StrokeSettings(), random, HeadlessBuildHooks()});
  return stroke;
}

// The start-up camera on a 675 × 675 view.
Camera& ViewCamera() {
  static Camera camera;
  return camera;
}

Canvas& SharedCanvas() {
  static Canvas* canvas = [] {
    EnsureHiddenGlWindow(675, 675);
    std::FILE* saved = stdout;
    stdout = std::fopen("/dev/null", "w");
    ReportGLEnvironment();
    InitRenderState();
    InitMaterial();
    Light light;
    InitLight(light);
    LoadAllMaps(MapFileTable());
    ViewCamera().width = ViewCamera().height = 675;
    ViewCamera().Init(light);
    auto* built = new Canvas;
    for (int i = 0; i < 1000; ++i) built->strokes[i] = DefaultStroke(i);
    std::fclose(stdout);
    stdout = saved;
    glViewport(0, 0, 675, 675);
    return built;
  }();
  return *canvas;
}

enum Path { kBuffers, kArrays, kPerTriangle };
const char* const kPathNames[] = {"buffers", "vertex arrays", "per-triangle"};

void Frame(Canvas& canvas, int strokes, Path path) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  ViewCamera().LookAt();
  DrawEasel(kMainViewEasel);
  if (path == kBuffers) {
    // The scene pass itself: meshes from their buffers, one set-up for all.
    canvas.count = strokes;
    SceneView view;
    view.canvas = &canvas;
    DrawStrokes(view);
    glFinish();
    return;
  }
  const MeshLook look{kPolygonModeFill, TEX_MESH, TEX_DETAIL, true, true};
  for (int n = 0; n < strokes; ++n) {
    const Mesh& mesh = *canvas.strokes[n].subdivision.baseMesh;
    if (path == kPerTriangle)
      DrawTexturedMeshImmediate(mesh, look);
    else
      DrawTexturedMeshFromArrays(mesh, look);
  }
  glFinish();
}

// Wall time per frame, and the main thread's own processor time: on
// llvmpipe most of a busy frame's work is in the rasterizer's threads.
void BM_Frame(benchmark::State& state) {
  Canvas& canvas = SharedCanvas();
  const int strokes = static_cast<int>(state.range(0));
  const Path path = static_cast<Path>(state.range(1));
  Frame(canvas, strokes, path);  // buffers made before the timing starts
  timespec start{}, end{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
  for (auto _ : state) Frame(canvas, strokes, path);
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
  const double threadMs = (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
  state.counters["mainThreadMs"] = threadMs / static_cast<double>(state.iterations());
  state.SetLabel(kPathNames[path]);
  state.counters["faces"] =
      static_cast<double>(strokes * canvas.strokes[0].subdivision.baseMesh->faceCount);
}
BENCHMARK(BM_Frame)
    ->ArgsProduct({{10, 100, 1000}, {kBuffers, kArrays, kPerTriangle}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
