#include "image/textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "image/filters.h"
#include "image/gradients.h"
#include "tests/support/gl_window.h"

namespace {

// A grey map file of the given size; only its size matters to the uploads.
std::string GreyMap(int width, int height) {
  BmpImage image;
  image.Allocate(width, height, 24);
  std::fill(image.Data(), image.Data() + width * height * 3, 9);
  const std::string path =
      "/tmp/kelvra_map_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp";
  image.Save(path);
  return path;
}

GLint Level0(unsigned name, GLenum what) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
  return value;
}

class Textures : public ::testing::Test {
 protected:
  void SetUp() override { EnsureHiddenGlWindow(); }
};

TEST_F(Textures, SidesRoundToTheNearerPowerOfTwoAMissingFileKeepsTheTexture) {
  const struct {
    int w, h, expectW, expectH;
  } cases[] = {{300, 200, 256, 256}, {384, 384, 256, 256}, {385, 385, 512, 512}, {64, 32, 64, 32}};
  TextureImage image;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    ASSERT_EQ(LoadTextureFile(image, GreyMap(c.w, c.h).c_str(), TEX_PAPER), 1);
    EXPECT_EQ(Level0(TEX_PAPER, GL_TEXTURE_WIDTH), c.expectW);
    EXPECT_EQ(Level0(TEX_PAPER, GL_TEXTURE_HEIGHT), c.expectH);
  }
  EXPECT_EQ(LoadTextureFile(image, "/tmp/kelvra_no_such_map.bmp", TEX_PAPER), 0);
  EXPECT_EQ(Level0(TEX_PAPER, GL_TEXTURE_WIDTH), 64);
}

TEST(AlphaRule, OpaqueFromSum150) {
  TextureImage image;
  image.width = 2, image.height = 1;
  image.rgbPixels = {50, 50, 49, 50, 50, 50};
  const std::vector<std::uint8_t> rgba = RgbaWithAlphaRule(image);
  EXPECT_EQ(rgba, (std::vector<std::uint8_t>{50, 50, 49, 0, 50, 50, 50, 255}));
}

TEST_F(Textures, ImageUploadKeepsTopRowAtTZero) {
  BmpImage image;
  image.Allocate(2, 2, 24);
  image.Data()[0] = 200;  // top-left red
  UploadImageTexture(image, TEX_FILTERED);
  std::uint8_t texels[2 * 2 * 3] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  EXPECT_EQ(texels[0], 200);
}

TEST_F(Textures, DefaultMapsAllLoadFromTheDataSet) {
  ResetMapFilesForTesting();
  for (int slot = 0; slot < MAP_SLOT_COUNT; ++slot) {
    SCOPED_TRACE(MapFile(static_cast<MapSlot>(slot)));
    TextureImage image;
    EXPECT_EQ(image.Read(MapFile(static_cast<MapSlot>(slot))), 1);
  }
}

TEST_F(Textures, GradientMapsWithoutSourceSaveOnlyTheCombinedMap) {
  SetMapFile(MAP_SOURCE, "/tmp/kelvra_missing_source.bmp");
  testing::internal::CaptureStdout();
  ComputeGradientMaps();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\tSaving COMBINED_SOBEL....\n");
  ResetMapFilesForTesting();
  testing::internal::CaptureStdout();
  ComputeGradientMaps();
  EXPECT_EQ(
      testing::internal::GetCapturedStdout(),
      "\tSaving HORIZONTAL_SOBEL....\n\tSaving VERTICAL_SOBEL....\n\tSaving COMBINED_SOBEL....\n");
  BmpImage saved;
  EXPECT_TRUE(saved.Load("Textures/Sourcemap/Saved/SavedHV.bmp"));
  EXPECT_EQ(saved.Width(), SourceImage.Width());
}

}  // namespace
