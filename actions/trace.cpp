#include "actions/trace.h"

#include <cstddef>
#include <utility>

namespace {

// A channel value (already × 255) counts as bright above this level.
constexpr float kBrightLevel = 10.0f;

}  // namespace

PixelChannelReader FrameChannelReader(const std::vector<float>& rgb, int width, int height) {
  return [&rgb, width, height](int x, int y, int channel) -> float {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1.0f;
    if (channel < 0 || channel > 2) return 0.0f;
    const size_t pixel =
        static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    return rgb[pixel * 3 + static_cast<size_t>(channel)] * 255;
  };
}

std::vector<std::vector<LatticePoint>> TraceBrightRegions(const PixelChannelReader& read, int width,
                                                          int height) {
  std::vector<std::vector<LatticePoint>> regions;
  if (width <= 0 || height <= 0) return regions;

  // Every point the fill reaches is a multiple of the step within 0..width and
  // 0..height (inclusive: a neighbour one step past the last lattice column or
  // row is examined, reads −1 and is never marked), so one cell per lattice
  // point covers a view of any size.
  const int columns = width / kTraceStep + 2;
  const int rows = height / kTraceStep + 2;
  std::vector<unsigned char> visited(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
  auto visitedAt = [&visited, rows](int x, int y) -> unsigned char& {
    return visited[static_cast<size_t>(x / kTraceStep) * static_cast<size_t>(rows) +
                   static_cast<size_t>(y / kTraceStep)];
  };
  auto allBright = [&read](int x, int y) {
    const float red = read(x, y, 0), green = read(x, y, 1), blue = read(x, y, 2);
    return red > kBrightLevel && green > kBrightLevel && blue > kBrightLevel;
  };
  auto anyBright = [&read](int x, int y) {
    const float red = read(x, y, 0), green = read(x, y, 1), blue = read(x, y, 2);
    return red > kBrightLevel || green > kBrightLevel || blue > kBrightLevel;
  };

  std::vector<LatticePoint> stack;
  for (int x = 0; x < width; x += kTraceStep) {
    for (int y = 0; y < height; y += kTraceStep) {
      std::vector<LatticePoint> region;
      if (allBright(x, y) && !visitedAt(x, y)) {
        visitedAt(x, y) = 1;
        stack.push_back({x, y});
      }
      while (!stack.empty()) {
        const LatticePoint point = stack.back();
        stack.pop_back();
        region.push_back(point);
        const LatticePoint neighbours[4] = {{point.x, point.y + kTraceStep},
                                            {point.x, point.y - kTraceStep},
                                            {point.x + kTraceStep, point.y},
                                            {point.x - kTraceStep, point.y}};
        const bool inside[4] = {point.y + kTraceStep <= height, point.y - kTraceStep >= 0,
                                point.x + kTraceStep <= width, point.x - kTraceStep >= 0};
        for (int n = 0; n < 4; ++n) {
          const LatticePoint next = neighbours[n];
          if (!inside[n] || visitedAt(next.x, next.y)) continue;
          if (anyBright(next.x, next.y)) {
            visitedAt(next.x, next.y) = 1;
            stack.push_back(next);
          }
        }
      }
      regions.push_back(std::move(region));
    }
  }
  return regions;
}
