// Filter throughput and BMP read speed on a 2048 × 2048 24-bit picture.
#include <benchmark/benchmark.h>

#include <random>

#include "image/filters.h"
#include "image/texture_image.h"

namespace {

const char* const kPath = "/tmp/kelvra_bench_2048.bmp";

BmpImage& RandomPicture() {
  static BmpImage image = [] {
    BmpImage picture;
    picture.Allocate(2048, 2048, 24);
    std::mt19937 random(5);
    for (int i = 0; i < 2048 * 2048 * 3; ++i) picture.Data()[i] = static_cast<std::uint8_t>(random());
    picture.Save(kPath);
    return picture;
  }();
  return image;
}

void BM_ApplyFilter(benchmark::State& state) {
  const BmpImage& source = RandomPicture();
  BmpImage result;
  for (auto _ : state) benchmark::DoNotOptimize(ApplyFilter(source, result, static_cast<int>(state.range(0))));
  state.SetLabel(FilterName(static_cast<int>(state.range(0))));
  state.counters["Mpixel/s"] =
      benchmark::Counter(2048.0 * 2048.0 / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ApplyFilter)->Arg(4)->Arg(kFilterVerticalSobel)->Arg(26)->Unit(benchmark::kMillisecond);

void BM_BmpImageLoad(benchmark::State& state) {
  RandomPicture();
  BmpImage image;
  for (auto _ : state) benchmark::DoNotOptimize(image.Load(kPath));
}
BENCHMARK(BM_BmpImageLoad)->Unit(benchmark::kMillisecond);

void BM_TextureImageRead(benchmark::State& state) {
  RandomPicture();
  TextureImage image;
  for (auto _ : state) benchmark::DoNotOptimize(image.Read(kPath));
}
BENCHMARK(BM_TextureImageRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
