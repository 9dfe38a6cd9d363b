// Checks the committed texture data set the program reads at start-up and
// lists in its folder menus (that the default maps read is checked with the
// map table, tests/image). Runs from the repository root.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "image/image.h"
#include "image/texture_image.h"
#include "platform/files.h"

namespace {

const char* const kBrowsableFolders[] = {"textures/meshmap",  "textures/detailmap",
                                         "textures/partmap",  "textures/heightmap",
                                         "textures/papermap", "textures/sourcemap"};

bool EndsWithBmp(const std::string& name) {
  return name.size() > 4 && (name.compare(name.size() - 4, 4, ".bmp") == 0 ||
                             name.compare(name.size() - 4, 4, ".BMP") == 0);
}

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

std::vector<std::string> BmpFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  for (const std::string& name : ListDirectory(folder).names) {
    if (EndsWithBmp(name)) files.push_back(folder + "/" + name);
  }
  return files;
}

// Sum of R, G and B at (x, row) where row 0 is the bottom row.
int Brightness(const TextureImage& image, int x, int row) {
  const std::size_t at = (static_cast<std::size_t>(row) * image.width + x) * 3;
  return image.rgbPixels[at] + image.rgbPixels[at + 1] + image.rgbPixels[at + 2];
}

TEST(TextureDataSet, DefaultSourceImageIsFilterable24Bit) {
  BmpImage source;
  ASSERT_TRUE(source.Load("Textures/Sourcemap/Test.bmp"));
  EXPECT_EQ(source.BitsPerPixel(), 24);
  EXPECT_GE(source.Width(), 128);
  EXPECT_GE(source.Height(), 128);
}

TEST(TextureDataSet, EveryBrowsableFolderOffersThreeReadableMapsOneNotPowerOfTwo) {
  for (const char* folder : kBrowsableFolders) {
    SCOPED_TRACE(folder);
    const std::vector<std::string> files = BmpFilesIn(folder);
    EXPECT_GE(files.size(), 3u);
    bool anyNonPowerOfTwo = false;
    for (const std::string& file : files) {
      SCOPED_TRACE(file);
      TextureImage image;
      ASSERT_EQ(image.Read(file.c_str()), 1);
      anyNonPowerOfTwo |= !IsPowerOfTwo(image.width) || !IsPowerOfTwo(image.height);
    }
    EXPECT_TRUE(anyNonPowerOfTwo);
  }
}

TEST(TextureDataSet, OnePaletteMapAmongTheMaps) {
  int paletteMaps = 0;
  for (const char* folder : kBrowsableFolders) {
    for (const std::string& file : BmpFilesIn(folder)) {
      TextureImage image;
      if (image.Read(file.c_str()) == 1 && image.bitCount == 8) ++paletteMaps;
    }
  }
  EXPECT_GE(paletteMaps, 1);
}

TEST(TextureDataSet, HeightMapMiddleRowsAreStrokeProfiles) {
  for (const std::string& file : BmpFilesIn("textures/heightmap")) {
    SCOPED_TRACE(file);
    TextureImage image;
    ASSERT_EQ(image.Read(file.c_str()), 1);
    const int row = image.height / 2;
    const int left = Brightness(image, 0, row);
    const int right = Brightness(image, image.width - 1, row);
    const int middle = Brightness(image, image.width / 2, row);
    EXPECT_LT(left, 3 * 40);
    EXPECT_LT(right, 3 * 40);
    EXPECT_GT(middle, 3 * 200);
  }
}

TEST(TextureDataSet, SpritesAreBrightOnABackgroundThatTurnsTransparent) {
  const int kTransparentBelow = 150;
  std::vector<std::string> sprites = BmpFilesIn("textures/partmap");
  sprites.push_back("Textures/Brush.bmp");
  for (const std::string& file : sprites) {
    SCOPED_TRACE(file);
    TextureImage image;
    ASSERT_EQ(image.Read(file.c_str()), 1);
    const int w = image.width - 1;
    const int h = image.height - 1;
    for (const auto& corner : {std::pair<int, int>{0, 0}, {w, 0}, {0, h}, {w, h}}) {
      EXPECT_LT(Brightness(image, corner.first, corner.second), kTransparentBelow);
    }
    // A halo is a ring with a dark centre, so look for the sprite anywhere.
    int brightest = 0;
    for (int row = 0; row < image.height; ++row) {
      for (int x = 0; x < image.width; ++x)
        brightest = std::max(brightest, Brightness(image, x, row));
    }
    EXPECT_GE(brightest, 3 * 200);
  }
}

}  // namespace
