#include "export/paint_maps.h"

#include <algorithm>
#include <cmath>

#include "image/textures.h"
#include "stroke/drawn_form.h"

namespace {

bool HasPixels(const TextureImage& image) {
  return image.width > 0 && image.height > 0 &&
         image.rgbPixels.size() >= static_cast<std::size_t>(image.width) * image.height * 3;
}

// Where a texture coordinate falls in a map of `n` texels with
// wrap-around, as GL_REPEAT and GL_LINEAR sample it: the two texels either
// side and the weight of the second.
struct Tap {
  int first, second;
  float weight;
};

Tap TapAt(double coordinate, int n) {
  const double x = (coordinate - std::floor(coordinate)) * n - 0.5;
  const double below = std::floor(x);
  int first = static_cast<int>(below) % n;
  if (first < 0) first += n;
  return Tap{first, (first + 1) % n, static_cast<float>(x - below)};
}

// Bilinear sample of a map (rows bottom first, as read); channels 0..1.
void Sample(const TextureImage& image, const Tap& column, const Tap& row, float out[3]) {
  const std::uint8_t* lower =
      &image.rgbPixels[static_cast<std::size_t>(row.first) * image.width * 3];
  const std::uint8_t* upper =
      &image.rgbPixels[static_cast<std::size_t>(row.second) * image.width * 3];
  for (int ch = 0; ch < 3; ++ch) {
    const float a = lower[column.first * 3 + ch] +
                    (lower[column.second * 3 + ch] - lower[column.first * 3 + ch]) * column.weight;
    const float b = upper[column.first * 3 + ch] +
                    (upper[column.second * 3 + ch] - upper[column.first * 3 + ch]) * column.weight;
    out[ch] = (a + (b - a) * row.weight) / 255.0f;
  }
}

// The detail map repeats kDetailRepeat times across one mesh-map repeat.
constexpr int kDetailRepeats = static_cast<int>(kDetailRepeat);
// One detail repeat still gets 128 texels at this size, several times what
// the main view shows of it at the start-up distance (some 20 pixels).
constexpr int kLargestBake = 1024;

}  // namespace

bool ReadMapFile(const PictureSource& source, TextureImage* image, std::string* error) {
  image->Release();
  if (source.path.empty() && !source.bytes) return true;
  if (!image->Read(source) || !HasPixels(*image)) {
    image->Release();
    if (error) *error = "cannot read the map " + source.path;
    return false;
  }
  return true;
}

MapPicture BakePaintMap(const TextureImage& mesh, const TextureImage& detail) {
  MapPicture paint;
  const bool hasMesh = HasPixels(mesh), hasDetail = HasPixels(detail);
  if (!hasMesh && !hasDetail) return paint;
  auto side = [&](int meshSide, int detailSide) {
    return std::min(kLargestBake,
                    std::max(hasMesh ? meshSide : 1, hasDetail ? kDetailRepeats * detailSide : 1));
  };
  paint.width = side(mesh.width, detail.width);
  paint.height = side(mesh.height, detail.height);
  paint.channels = 3;
  paint.pixels.resize(static_cast<std::size_t>(paint.width) * paint.height * 3);
  // The taps of every column and row, for both maps. Row 0 of the picture
  // is its top: t runs upwards from the bottom row.
  std::vector<Tap> meshColumns, detailColumns, meshRows, detailRows;
  for (int column = 0; column < paint.width; ++column) {
    const double s = (column + 0.5) / paint.width;
    if (hasMesh) meshColumns.push_back(TapAt(s, mesh.width));
    if (hasDetail) detailColumns.push_back(TapAt(kDetailRepeats * s, detail.width));
  }
  for (int row = 0; row < paint.height; ++row) {
    const double t = 1.0 - (row + 0.5) / paint.height;
    if (hasMesh) meshRows.push_back(TapAt(t, mesh.height));
    if (hasDetail) detailRows.push_back(TapAt(kDetailRepeats * t, detail.height));
  }
  for (int row = 0; row < paint.height; ++row) {
    std::uint8_t* out = &paint.pixels[static_cast<std::size_t>(row) * paint.width * 3];
    for (int column = 0; column < paint.width; ++column) {
      // Without a map its factor is neutral: white for the mesh map, and
      // 0.5 for the detail map, which cancels its scale of 2.
      float base[3] = {1, 1, 1}, fine[3] = {0.5f, 0.5f, 0.5f};
      if (hasMesh) Sample(mesh, meshColumns[column], meshRows[row], base);
      if (hasDetail) Sample(detail, detailColumns[column], detailRows[row], fine);
      for (int ch = 0; ch < 3; ++ch) {
        const float value = std::min(1.0f, base[ch] * fine[ch] * kDetailScale);
        out[column * 3 + ch] = static_cast<std::uint8_t>(std::lround(value * 255.0f));
      }
    }
  }
  return paint;
}

MapPicture SpriteMap(const TextureImage& sprite) {
  MapPicture map;
  DecodedPicture rgba = RgbaWithAlphaRule(sprite);
  if (rgba.pixels.empty()) return map;
  ArrangeRows(rgba, RowOrder::kTopFirst);
  map.width = rgba.width;
  map.height = rgba.height;
  map.channels = 4;
  map.pixels.assign(rgba.pixels.begin(), rgba.pixels.end());
  return map;
}
