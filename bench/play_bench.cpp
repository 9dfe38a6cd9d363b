// Replay speed of kelvra-play: a script of painted strokes (press, twenty
// moves, release) with an idle step after every tenth stroke, replayed into
// the running painter; events per second of wall time (the frames are drawn
// by llvmpipe's own threads too). Run under a display (xvfb-run).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "app/shell.h"
#include "common/quiet_console.h"
#include "play/replayer.h"
#include "play/script.h"

namespace {

std::vector<Event> PaintingScript(int strokes) {
  std::string text = "window main\n";
  for (int s = 0; s < strokes; ++s) {
    const int y = 40 + (s * 37) % 600;
    text += "press left 40 " + std::to_string(y) + "\n";
    for (int m = 0; m < 20; ++m)
      text += "move " + std::to_string(40 + 30 * m) + " " + std::to_string(y + (m % 5) * 6) + "\n";
    text += "release left 640 " + std::to_string(y) + "\n";
    if (s % 10 == 9) text += "frames 1\n";
  }
  std::string error;
  return *ParseScript(text, "bench", &error);
}

void StartOnce() {
  static bool started = [] {
    QuietConsole quiet;
    int argc = 1;
    char name[] = "play_bench";
    char* argv[] = {name, nullptr};
    StartPainter(&argc, argv);
    return true;
  }();
  (void)started;
}

void BM_ReplayPainting(benchmark::State& state) {
  StartOnce();
  const std::vector<Event> events = PaintingScript(static_cast<int>(state.range(0)));
  {
    QuietConsole quiet;
    for (auto _ : state) {
      DeleteAllStrokes();
      Replayer replayer(events, ReplayOptions());
      benchmark::DoNotOptimize(replayer.Run());
    }
  }
  state.counters["events/s"] = benchmark::Counter(
      static_cast<double>(events.size()) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplayPainting)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
