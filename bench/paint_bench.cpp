// How fluid the main view stays as a painting grows: the time from one
// scripted event to its finished frame, replayed through kelvra-play's
// replayer into the running painter, on canvases of 0 to 19 999 strokes.
//   BM_PaintMotion    a motion while painting (a node added), then a frame;
//                     `xi2` 1 with the pen reader on the main window (every
//                     motion reads the extension's events first), 0 without;
//                     `under` 1 painting under the pointer (each motion's
//                     ray met with the canvas, the cursor seen through the
//                     camera every frame), 0 as the window position says
//   BM_ServerRoundTrip  one message to the X server and its answer: what a
//                     motion costs more while a pen is plugged in
//   BM_PaintDense     the same over a dense painting: random strokes of
//                     eight nodes wandering over the whole canvas, and a
//                     drag that goes round most of the view; laps over the
//                     empty canvas taken in turn with them give `ratio`,
//                     the dense lap's cost over the empty one's
//   BM_CursorMotion   the pointer moving with no button held, then a frame
//   BM_PanelToggle    "Axes ON/OFF" ticked or cleared, then a frame
//   BM_CameraSpin     one idle step of a spinning camera (strokes subdivided
//                     twice), then a frame
//   BM_AutosaveSnapshot  what an action costs the autosave: the snapshot the
//                     idle step takes after a resize changed one stroke
//                     (that stroke encoded again) and, with `frame`, the
//                     main view read back for the thumbnail; making the
//                     thumbnail and writing the file are the autosave
//                     thread's
// Run under a display (xvfb-run). Times are wall time per event, frames
// included: on llvmpipe much of a frame is the rasterizer threads' work.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <GL/freeglut.h>

#include "actions/actions.h"
#include "actions/documents.h"
#include "app/pen_input.h"
#include "app/shell.h"
#include "common/quiet_console.h"
#include "common/random.h"
#include "play/replayer.h"
#include "play/script.h"
#include "render/kept_picture.h"
#include "app/redisplay.h"
#include "state/state.h"
#include "stroke/build.h"
#include "tests/support/height_map.h"

// Last: Xlib's macros (None, Status, ...) would rename names of the headers above.
#include <X11/Xlib.h>

namespace {

void StartOnce() {
  static bool started = [] {
    QuietConsole quiet;
    int argc = 1;
    char name[] = "paint_bench";
    char* argv[] = {name, nullptr};
    StartPainter(&argc, argv);
    // As kelvra-play replays: idle steps as fast as they come, the redraw
    // checks made by the replayer before each round of its own.
    SetIdlePacing(false);
    StopRedrawChecks();
    return true;
  }();
  (void)started;
}

// A short stroke of eight nodes somewhere on the canvas, built as a commit
// builds it.
Stroke ScatteredStroke(RandomGenerator& place, const StrokeSettings& settings,
                       RandomGenerator& random) {
  Stroke stroke;
  const float x = place.Unit() * 1.6f - 0.8f, y = place.Unit() * 1.6f - 0.8f;
  const float dx = (place.Unit() - 0.5f) * 0.05f, dy = (place.Unit() - 0.5f) * 0.05f;
  for (int i = 0; i < 8; ++i)
    AddNode(stroke, Vec4(x + dx * i, y + dy * i + 0.01f * (i % 2), 0, 0));
  BuildStroke(stroke, BuildContext{settings, random, HeadlessBuildHooks()});
  return stroke;
}

// A stroke of eight nodes from anywhere on the canvas, wandering in a
// slowly turning direction for about a sixth of the canvas's width.
Stroke WanderingStroke(RandomGenerator& place, const StrokeSettings& settings,
                       RandomGenerator& random) {
  Stroke stroke;
  float x = place.Unit() * 2 - 1, y = place.Unit() * 2 - 1, heading = place.Unit() * 6.283f;
  for (int i = 0; i < 8; ++i) {
    AddNode(stroke, Vec4(x, y, 0, 0));
    heading += (place.Unit() - 0.5f) * 0.8f;
    x += 0.05f * std::cos(heading);
    y += 0.05f * std::sin(heading);
  }
  BuildStroke(stroke, BuildContext{settings, random, HeadlessBuildHooks()});
  return stroke;
}

enum class Painting { kScattered, kDense };

// What the canvas was last filled with; a painted stroke committed on it
// makes it another canvas.
int Filled = -1, FilledLevels = -1;
Painting FilledWith = Painting::kScattered;

// The painter's canvas holds `count` strokes, built with `subdivisionLevels`.
void FillCanvas(int count, int subdivisionLevels, Painting painting = Painting::kScattered) {
  if (count == Filled && subdivisionLevels == FilledLevels && painting == FilledWith) return;
  QuietConsole quiet;
  DeleteAllStrokes();
  StrokeSettings settings;
  settings.subdivisionLevels = subdivisionLevels;
  RandomGenerator place, random;
  Canvas& canvas = AppState().canvas;
  for (int i = 0; i < count; ++i)
    canvas.strokes[i] = painting == Painting::kDense ? WanderingStroke(place, settings, random)
                                                     : ScatteredStroke(place, settings, random);
  canvas.count = count;
  CollideStrokes();  // an action: the views learn that the canvas changed
  Filled = count;
  FilledLevels = subdivisionLevels;
  FilledWith = painting;
}

std::vector<Event> Script(const std::string& text) {
  std::string error;
  return *ParseScript(text, "bench", &error);
}

// Replays `setup` once, then `step` once per iteration; `step` holds
// `events` timed events.
void ReplayTimed(benchmark::State& state, const std::string& setup, const std::string& step,
                 int events) {
  const std::vector<Event> first = Script(setup), each = Script(step);
  QuietConsole quiet;
  Replayer(first, ReplayOptions()).Run();
  double milliseconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(Replayer(each, ReplayOptions()).Run());
    milliseconds += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                              start)
                        .count();
  }
  state.counters["ms/event"] = milliseconds / static_cast<double>(state.iterations() * events);
  state.counters["kept MiB"] = static_cast<double>(AppState().keptPicture.Bytes()) / (1 << 20);
}

// Twenty motions of the pointer across the middle of the view, each
// followed by one idle step and its frame.
std::string Motions(int pass) {
  std::string text;
  for (int m = 0; m < 20; ++m) {
    const int x = 100 + (pass * 20 + m) % 480, y = 300 + (m % 7) * 9;
    text += "move " + std::to_string(x) + " " + std::to_string(y) + "\nframes 1\n";
  }
  return text;
}

void BM_PaintMotion(benchmark::State& state) {
  StartOnce();
  FillCanvas(static_cast<int>(state.range(0)), 0);
  glutSetWindow(AppState().windows.main.id);
  ThePen().Close();
  if (state.range(1)) ThePen().Open();
  SetPaintUnderPointer(state.range(2) != 0);
  // The button is down (pressed again by every pass, as BM_PaintDense
  // says): every motion adds a node to the stroke being painted. It is let
  // go (and the stroke dropped) after the run.
  ReplayTimed(state, "window main\nframes 2\n", "press left 100 300\n" + Motions(0), 20);
  QuietConsole quiet;
  Replayer(Script("window main\nrelease left 100 300\nframes 1\n"), ReplayOptions()).Run();
  SetPaintUnderPointer(false);
  Filled = -1;
}

void BM_ServerRoundTrip(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return state.SkipWithError("no display");
  for (auto _ : state) XSync(display, False);
  XCloseDisplay(display);
}

// A drag round an ellipse over most of the view, 80 motions a lap (about
// 18 pixels each), each followed by one idle step and its frame.
std::string Lap() {
  std::string text;
  for (int m = 0; m < 80; ++m) {
    const double angle = m * 6.283185 / 80;
    const int x = 337 + static_cast<int>(250 * std::cos(angle));
    const int y = 337 + static_cast<int>(200 * std::sin(angle));
    text += "move " + std::to_string(x) + " " + std::to_string(y) + "\nframes 1\n";
  }
  return text;
}

// The committed strokes and the empty canvas trade places: the painted
// stroke stays, and the views learn that the strokes changed.
void TradeCanvases(std::vector<Stroke>& other, int& otherCount) {
  Canvas& canvas = AppState().canvas;
  std::swap(canvas.strokes, other);
  std::swap(canvas.count, otherCount);
  ++AppState().revisions.strokes;
}

void BM_PaintDense(benchmark::State& state) {
  StartOnce();
  FillCanvas(static_cast<int>(state.range(0)), 0, Painting::kDense);
  static std::vector<Stroke> empty(kStrokeCapacity);
  int emptyCount = 0;
  // Each lap is replayed on its own, so it presses the button again: a
  // replay knows only the buttons its own script holds down, and moves
  // the pointer without painting otherwise. The first frames after a trade
  // draw the whole view, and are not timed.
  const std::vector<Event> settle = Script("window main\nframes 2\n"),
                           lap = Script("press left 587 337\n" + Lap());
  QuietConsole quiet;
  double dense = 0, open = 0;  // milliseconds
  auto timed = [&](double& total) {
    Replayer(settle, ReplayOptions()).Run();
    const auto start = std::chrono::steady_clock::now();
    Replayer(lap, ReplayOptions()).Run();
    total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
  };
  for (auto _ : state) {
    // In turn first, so that neither always follows the other.
    const bool denseFirst = state.iterations() % 2 == 0;
    if (!denseFirst) TradeCanvases(empty, emptyCount);
    timed(denseFirst ? dense : open);
    TradeCanvases(empty, emptyCount);
    timed(denseFirst ? open : dense);
    if (denseFirst) TradeCanvases(empty, emptyCount);
  }
  Replayer(Script("window main\nrelease left 587 337\nframes 1\n"), ReplayOptions()).Run();
  const double events = static_cast<double>(state.iterations()) * 80;
  state.counters["ms/event"] = dense / events;
  state.counters["empty ms/event"] = open / events;
  state.counters["ratio"] = dense / open;
  Filled = -1;
}

void BM_CursorMotion(benchmark::State& state) {
  StartOnce();
  FillCanvas(static_cast<int>(state.range(0)), 0);
  ReplayTimed(state, "window main\nframes 2\n", Motions(1), 20);
}

void BM_PanelToggle(benchmark::State& state) {
  StartOnce();
  FillCanvas(static_cast<int>(state.range(0)), 0);
  std::string toggles;
  for (int i = 0; i < 4; ++i) toggles += "window camera\ntoggle \"Axes ON/OFF\"\nframes 1\n";
  ReplayTimed(state, "window main\nframes 2\n", toggles, 4);
}

void BM_CameraSpin(benchmark::State& state) {
  StartOnce();
  FillCanvas(static_cast<int>(state.range(0)), 2);
  ReplayTimed(state, "window main\nkey 5\nkey r\nkey 4\nframes 2\n", "frames 10\n", 10);
  QuietConsole quiet;
  Replayer(Script("window main\nkey 5\nkey r\nframes 2\n"), ReplayOptions()).Run();
}

void BM_AutosaveSnapshot(benchmark::State& state) {
  StartOnce();
  FillCanvas(static_cast<int>(state.range(0)), 0);
  const bool frame = state.range(1) != 0;
  QuietConsole quiet;
  SelectStroke(1);
  ThePaintingKeeper().Snapshot(false);  // every stroke encoded once, as the first autosave does
  for (auto _ : state) {
    state.PauseTiming();
    GrowSelectedStroke(SizeAxis::kWidth, 0.0001f);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ThePaintingKeeper().Snapshot(false));
    if (frame) benchmark::DoNotOptimize(ReadMainViewFrame());
  }
  Filled = -1;
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  for (int strokes : {0, 250, 1000, 5000, 19999}) benchmark->Arg(strokes);
}

BENCHMARK(BM_PaintMotion)
    ->ArgsProduct({{0, 250, 1000, 5000, 19999}, {0, 1}, {0, 1}})
    ->ArgNames({"strokes", "xi2", "under"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ServerRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();
// Eight laps over the painting and eight over the empty canvas: the
// painted stroke grows by as many nodes at every size.
BENCHMARK(BM_PaintDense)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(19990)
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CursorMotion)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PanelToggle)->Apply(Sizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CameraSpin)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AutosaveSnapshot)
    ->ArgsProduct({{1000, 19999}, {0, 1}})
    ->ArgNames({"strokes", "frame"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
