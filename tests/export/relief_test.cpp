// The relief: heights worked out by hand on pyramids, the STL read byte by
// byte and checked for a closed, outward-facing solid whose facets carry
// their own normals, and the height map's extremes against the strokes'
// highest and lowest points.
#include "export/relief.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

#include "export/painting.h"
#include "export/png.h"
#include "tests/export/canvases.h"
#include "tests/support/scratch_dir.h"

namespace {

// 101 samples a side: 0.02 canvas units apart, so x = 0.2 is column 60
// and y = 0.2 row 40.
constexpr int kGrid = 101;

int Column(float x) { return static_cast<int>(std::lround((x + 1) * (kGrid - 1) / 2)); }
int Row(float y) { return static_cast<int>(std::lround((1 - y) * (kGrid - 1) / 2)); }

TEST(HeightMap, PyramidAndDentSpanTheSixteenBitsWithTheCanvasBetween) {
  ScratchDir scratch;
  Canvas canvas;
  // A peak of 0.1 right of and above the centre, a dent of −0.05 at the
  // left: the bare canvas lies a third of the way up.
  AddPyramid(canvas, 0.2f, 0.2f, 0.1f, 0.4f);
  AddPyramid(canvas, -0.6f, -0.4f, -0.05f, 0.2f);
  ExportSettings settings;
  settings.reliefGrid = kGrid;
  const std::string path = scratch.File("relief.png");
  ASSERT_EQ(ExportPainting(canvas, path, settings), "");
  PngPicture map;
  ASSERT_TRUE(ReadPng(path, &map));
  ASSERT_EQ(std::make_tuple(map.width, map.height, map.bitDepth),
            std::make_tuple(kGrid, kGrid, 16));
  auto at = [&](float x, float y) { return int(map.samples[Row(y) * kGrid + Column(x)]); };
  // Where, and the level: (height + 0.05) / 0.15 × 65535.
  const struct { float x, y; int level; } probes[] = {
      {0.2f, 0.2f, 65535},    // the apex
      {-0.6f, -0.4f, 0},      // the dent's bottom
      {0.9f, -0.9f, 21845},   // bare canvas: 0.05 / 0.15
      {0.4f, 0.2f, 43690},    // halfway down the peak's right face: 0.1 / 0.15
      {-0.5f, -0.4f, 10923},  // halfway up the dent: 0.025 / 0.15
      {0.6f, 0.6f, 21845},    // the peak's corner: on its edge, height 0
  };
  for (const auto& probe : probes) {
    SCOPED_TRACE(testing::Message() << probe.x << ", " << probe.y);
    EXPECT_NEAR(at(probe.x, probe.y), probe.level, 1);
  }
  EXPECT_EQ(*std::max_element(map.samples.begin(), map.samples.end()), 65535);
  EXPECT_EQ(*std::min_element(map.samples.begin(), map.samples.end()), 0);
}

// ---- The solid -----------------------------------------------------------

// A binary STL file read byte by byte, as a printer's software reads it:
// an 80-byte header, the facet count, then 50 bytes a facet (normal, three
// corners, attribute word), numbers little-endian.
struct StlFacet { float normal[3], corner[3][3]; };
static_assert(sizeof(StlFacet) == 48, "the 48 bytes before a facet's attribute word");

// Copied as they lie: numbers little-endian, as on the machines we test on.
std::vector<StlFacet> ReadStl(const std::string& path) {
  const std::string bytes = Contents(path);
  std::vector<StlFacet> facets;
  std::uint32_t count = 0;
  if (bytes.size() >= 84) std::memcpy(&count, &bytes[80], 4);
  EXPECT_EQ(bytes.size(), 84 + 50 * std::size_t(count)) << "the size the count promises";
  for (std::size_t offset = 84; offset + 50 <= bytes.size(); offset += 50)
    std::memcpy(&facets.emplace_back(), &bytes[offset], sizeof(StlFacet));
  return facets;
}

using Point = std::tuple<float, float, float>;

struct SolidCheck {
  std::size_t vertices = 0, edges = 0, faces = 0;
  bool closed = true;  // every edge in two faces, once each way
  double volume = 0;   // divergence theorem: positive when faces face out
  // The largest difference of a stored normal from the unit normal of its
  // facet's corners by the right-hand rule.
  double normalError = 0;
  float low[3], high[3];
};

// The facets joined into a solid by exact corner position.
SolidCheck Check(const std::vector<StlFacet>& facets) {
  SolidCheck check;
  std::map<Point, int> ids;
  std::unordered_map<std::uint64_t, int> directed;
  std::copy_n(facets.at(0).corner[0], 3, check.low);
  std::copy_n(facets.at(0).corner[0], 3, check.high);
  for (const StlFacet& facet : facets) {
    std::uint64_t corner[3];
    double p[3][3];
    for (int c = 0; c < 3; ++c) {
      const float* q = facet.corner[c];
      corner[c] = ids.emplace(Point{q[0], q[1], q[2]}, int(ids.size())).first->second;
      for (int a = 0; a < 3; ++a) {
        p[c][a] = q[a];
        check.low[a] = std::min(check.low[a], q[a]);
        check.high[a] = std::max(check.high[a], q[a]);
      }
    }
    for (int c = 0; c < 3; ++c) ++directed[corner[c] << 32 | corner[(c + 1) % 3]];
    const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const double v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                         u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int a = 0; a < 3; ++a)
      check.normalError = std::max(check.normalError, std::abs(facet.normal[a] - n[a] / length));
    check.volume += (p[0][0] * (p[1][1] * p[2][2] - p[2][1] * p[1][2]) -
                     p[1][0] * (p[0][1] * p[2][2] - p[2][1] * p[0][2]) +
                     p[2][0] * (p[0][1] * p[1][2] - p[1][1] * p[0][2])) /
                    6;
  }
  for (const auto& [edge, uses] : directed) {
    const auto back = directed.find((edge & 0xFFFFFFFFu) << 32 | edge >> 32);
    if (uses != 1 || back == directed.end() || back->second != 1) check.closed = false;
  }
  check.vertices = ids.size(), check.edges = directed.size() / 2, check.faces = facets.size();
  return check;
}

// Only particles (the base plate alone), or a pyramid on it; the size in
// millimetres, the samples a side.
TEST(ReliefSolids, StlIsOneClosedOutwardSolidOfTheRightSizeAndVolume) {
  const struct { const char* name; bool pyramid; float sizeMm; int grid; } solids[] = {
      {"plate only", false, 100, 2}, {"pyramid, 100 mm", true, 100, 101},
      {"pyramid, 30 mm, thin base", true, 30, 51}};
  ScratchDir scratch;
  for (const auto& solid : solids) {
    SCOPED_TRACE(solid.name);
    auto canvas = MixedCanvas();  // its particles alone
    canvas->DeleteStroke(0), canvas->DeleteStroke(1);
    // Apex 0.2 high at (0.2, 0.2) on a base of side 0.8: volume 0.8² × 0.2 / 3
    // canvas units, (side / 2)³ mm³ each.
    if (solid.pyramid) AddPyramid(*canvas, 0.2f, 0.2f, 0.2f, 0.4f);
    ExportSettings settings;
    settings.reliefSizeMm = solid.sizeMm, settings.reliefGrid = solid.grid;
    const std::string path = scratch.File("relief.Stl");
    ASSERT_EQ(ExportPainting(*canvas, path, settings), "");
    const SolidCheck check = Check(ReadStl(path));
    EXPECT_TRUE(check.closed);
    EXPECT_LT(check.normalError, 1e-6) << "every facet's normal its own";
    EXPECT_EQ(int(check.vertices) - int(check.edges) + int(check.faces), 2) << "Euler number";
    const float base = std::max(1.0f, 0.02f * solid.sizeMm);
    const float apex = solid.pyramid ? 0.2f * solid.sizeMm / 2 : 0.0f;
    EXPECT_EQ(std::make_tuple(check.low[0], check.low[1], check.low[2], check.high[0],
                              check.high[1]),
              std::make_tuple(0.0f, 0.0f, 0.0f, solid.sizeMm, solid.sizeMm));
    EXPECT_FLOAT_EQ(check.high[2], base + apex);
    const double half = solid.sizeMm / 2.0, plate = double(solid.sizeMm) * solid.sizeMm * base;
    const double pyramid = solid.pyramid ? 0.8 * 0.8 * 0.2 / 3 * half * half * half : 0;
    // The grid cuts across one of the pyramid's creases: its volume is
    // right to within the cells along it.
    EXPECT_NEAR(check.volume, plate + pyramid, 1e-5 * plate + 0.01 * pyramid);
  }
}

}  // namespace
