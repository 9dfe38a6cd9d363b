// Checks the committed texture data set the program reads at start-up and
// lists in its folder menus (that the default maps read is checked with the
// map table, tests/image). Runs from the repository root.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/texture_image.h"
#include "platform/files.h"

namespace {

// The BMP files of a folder, each read as the program's texture upload reads
// it (a failure shows on its own).
std::vector<TextureImage> MapsIn(const std::string& folder) {
  std::vector<TextureImage> maps;
  for (const std::string& name : ListDirectory(folder).names) {
    if (name.size() < 5 ||
        (name.substr(name.size() - 4) != ".bmp" && name.substr(name.size() - 4) != ".BMP"))
      continue;
    maps.emplace_back();
    EXPECT_EQ(maps.back().Read((folder + "/" + name).c_str()), 1) << name;
  }
  return maps;
}

// Sum of R, G and B at (x, row) where row 0 is the bottom row.
int Brightness(const TextureImage& image, int x, int row) {
  const std::uint8_t* p = &image.rgbPixels[(static_cast<std::size_t>(row) * image.width + x) * 3];
  return p[0] + p[1] + p[2];
}

// Every browsable folder offers at least three maps, one of a size that is
// not a power of two (for the rescaling on upload); one map somewhere has a
// palette; the source image is a 24-bit picture the filters take.
TEST(TextureDataSet, BrowsableFoldersOfferReadableMapsOfEveryKind) {
  int paletteMaps = 0;
  for (const char* folder : {"textures/meshmap", "textures/detailmap", "textures/partmap",
                             "textures/heightmap", "textures/papermap", "textures/sourcemap"}) {
    SCOPED_TRACE(folder);
    const std::vector<TextureImage> maps = MapsIn(folder);
    EXPECT_GE(maps.size(), 3u);
    EXPECT_TRUE(std::any_of(maps.begin(), maps.end(), [](const TextureImage& map) {
      return (map.width & (map.width - 1)) != 0 || (map.height & (map.height - 1)) != 0;
    }));
    for (const TextureImage& map : maps) paletteMaps += map.bitCount == 8;
  }
  EXPECT_GE(paletteMaps, 1);
  BmpImage source;
  ASSERT_TRUE(source.Load("Textures/Sourcemap/Test.bmp"));
  EXPECT_EQ(source.BitsPerPixel(), 24);
  EXPECT_GE(std::min(source.Width(), source.Height()), 128);
}

// Height maps are read along their middle row as a stroke's profile: dark
// at both ends, bright in the middle. Sprites are bright on a background
// that turns transparent (R + G + B below 150 at the corners); a halo is a
// ring with a dark centre, so the bright part is looked for anywhere.
TEST(TextureDataSet, HeightMapsAreProfilesAndSpritesBrightOnATransparentBackground) {
  for (const TextureImage& map : MapsIn("textures/heightmap")) {
    const int row = map.height / 2;
    EXPECT_LT(Brightness(map, 0, row), 3 * 40);
    EXPECT_LT(Brightness(map, map.width - 1, row), 3 * 40);
    EXPECT_GT(Brightness(map, map.width / 2, row), 3 * 200);
  }
  std::vector<TextureImage> sprites = MapsIn("textures/partmap");
  sprites.emplace_back();
  ASSERT_EQ(sprites.back().Read("Textures/Brush.bmp"), 1);
  for (const TextureImage& sprite : sprites) {
    const int w = sprite.width - 1, h = sprite.height - 1;
    for (const auto& [x, row] : {std::pair{0, 0}, {w, 0}, {0, h}, {w, h}})
      EXPECT_LT(Brightness(sprite, x, row), 150);
    int brightest = 0;
    for (int row = 0; row <= h; ++row)
      for (int x = 0; x <= w; ++x) brightest = std::max(brightest, Brightness(sprite, x, row));
    EXPECT_GE(brightest, 3 * 200);
  }
}

}  // namespace
