// The auto-trace fill on synthetic frames, against a plain per-pixel
// rendition of the trace (one read per channel, a visited flag per pixel).

#include "actions/trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Frame {
  int width, height;
  std::vector<float> rgb;  // rows bottom-up, three floats per pixel in 0..1

  Frame(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0.0f) {}
  void Fill(int x0, int y0, int x1, int y1, float r, float g, float b) {
    for (int y = y0; y <= y1 && y < height; ++y)
      for (int x = x0; x <= x1 && x < width; ++x) {
        float* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        p[0] = r, p[1] = g, p[2] = b;
      }
  }
  // The per-pixel read of the main view, written out plainly.
  float Channel(int x, int y, int c) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1.0f;
    return rgb[(static_cast<size_t>(y) * width + x) * 3 + c] * 255;
  }
};

std::vector<std::vector<LatticePoint>> ReferenceTrace(const Frame& f) {
  const int W = f.width, H = f.height;
  std::vector<char> visited(static_cast<size_t>(W + 11) * (H + 11), 0);
  auto seen = [&](int x, int y) -> char& { return visited[static_cast<size_t>(x) * (H + 11) + y]; };
  std::vector<std::vector<LatticePoint>> out;
  std::vector<LatticePoint> stack;
  for (int x = 0; x < W; x += 10)
    for (int y = 0; y < H; y += 10) {
      std::vector<LatticePoint> region;
      if (f.Channel(x, y, 0) > 10 && f.Channel(x, y, 1) > 10 && f.Channel(x, y, 2) > 10 &&
          !seen(x, y)) {
        seen(x, y) = 1;
        stack.push_back({x, y});
      }
      while (!stack.empty()) {
        const LatticePoint p = stack.back();
        stack.pop_back();
        region.push_back(p);
        // Up, down, right, left, within the frame and the lattice's last row
        // and column past it.
        const std::pair<int, int> next[] = {
            {p.x, p.y + 10}, {p.x, p.y - 10}, {p.x + 10, p.y}, {p.x - 10, p.y}};
        for (const auto& [nx, ny] : next)
          if (nx >= 0 && ny >= 0 && nx <= W && ny <= H && !seen(nx, ny) &&
              (f.Channel(nx, ny, 0) > 10 || f.Channel(nx, ny, 1) > 10 ||
               f.Channel(nx, ny, 2) > 10)) {
            seen(nx, ny) = 1;
            stack.push_back({nx, ny});
          }
      }
      out.push_back(region);
    }
  return out;
}

std::vector<std::vector<LatticePoint>> FastTrace(const Frame& f) {
  return TraceBrightRegions(FrameChannelReader(f.rgb, f.width, f.height), f.width, f.height);
}

long NonEmpty(const std::vector<std::vector<LatticePoint>>& regions) {
  return std::count_if(regions.begin(), regions.end(), [](const auto& r) { return !r.empty(); });
}

// A seed needs every channel strictly above 10/255; growing needs only one.
TEST(TraceBrightRegions, SeedsNeedAllChannelsNeighboursOnlyOne) {
  Frame f(100, 100);
  for (const float level : {10.0f, 11.0f}) {
    f.Fill(0, 0, 29, 29, level / 255, level / 255, level / 255);
    EXPECT_EQ(NonEmpty(FastTrace(f)), level > 10 ? 1 : 0) << level;
  }
  f.Fill(0, 0, 99, 99, 0.5f, 0, 0);
  EXPECT_EQ(NonEmpty(FastTrace(f)), 0);
  f.Fill(50, 50, 50, 50, 1, 1, 1);  // one white seed floods the red field
  const auto regions = FastTrace(f);
  EXPECT_EQ(NonEmpty(regions), 1);
  EXPECT_EQ(regions[5 * 10 + 5].size(), 100u);
  EXPECT_TRUE(FastTrace(Frame(0, 0)).empty());  // an empty view
}

// Random blobs on frames of several sizes, including ones wider and taller
// than 1000 pixels and sizes that are not multiples of the lattice step.
TEST(TraceBrightRegions, EqualsThePerPixelTraceOnRandomFrames) {
  std::mt19937 random(1234);
  const int sizes[][2] = {{675, 675}, {1, 1}, {9, 31}, {800, 600}, {1205, 1013}, {64, 1500}};
  for (const auto& size : sizes)
    for (int trial = 0; trial < 4; ++trial) {
      SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " trial " << trial);
      Frame f(size[0], size[1]);
      std::uniform_int_distribution<int> px(0, size[0] - 1), py(0, size[1] - 1), extent(0, 120),
          level(0, 40);
      for (int blob = 0; blob < 25; ++blob) {
        const int x = px(random), y = py(random);
        f.Fill(x, y, x + extent(random), y + extent(random), level(random) / 40.0f,
               level(random) / 40.0f, level(random) / 40.0f);
      }
      ASSERT_EQ(FastTrace(f), ReferenceTrace(f));
    }
}

}  // namespace
