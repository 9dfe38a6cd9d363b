#include "image/textures.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "image/filters.h"
#include "image/gradients.h"
#include "image/pixel_store.h"
#include "tests/support/gl_window.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"

namespace {

// A grey picture file of the given size in `folder`.
std::string GreyMap(const ScratchDir& folder, int width, int height) {
  const std::string path =
      folder.File("map_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
  GreyPicture(width, height, [](int, int) { return 9; }).Save(path);
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
  ScratchDir scratch;
  const struct { int w, h, expectW, expectH; } cases[] = {
      {300, 200, 256, 256}, {384, 384, 256, 256}, {385, 385, 512, 512}, {64, 32, 64, 32}};
  TextureImage image;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    ASSERT_EQ(LoadTextureFile(image, GreyMap(scratch, c.w, c.h).c_str(), TEX_PAPER), 1);
    EXPECT_EQ(Level0(TEX_PAPER, GL_TEXTURE_WIDTH), c.expectW);
    EXPECT_EQ(Level0(TEX_PAPER, GL_TEXTURE_HEIGHT), c.expectH);
  }
  EXPECT_EQ(LoadTextureFile(image, scratch.File("no_such_map.bmp").c_str(), TEX_PAPER), 0);
  EXPECT_EQ(Level0(TEX_PAPER, GL_TEXTURE_WIDTH), 64);
}

// A context's pixel-store state is shared by every transfer in it. Whatever
// state an earlier read-back or upload left (the auto-trace's view-wide pack
// rows once made gluScaleImage overflow its buffer), a map is scaled and
// uploaded from its own tightly packed rows, and the state is left as found.
TEST_F(Textures, MapsUploadTheSameWhateverPixelStoreStateTheyFind) {
  ScratchDir scratch;
  const std::string path = scratch.File("odd.bmp");
  GreyPicture(101, 75, [](int x, int y) { return (x * 7 + y * 13) % 256; }).Save(path);
  auto texels = [&path] {
    TextureImage image;
    EXPECT_EQ(LoadTextureFile(image, path.c_str(), TEX_MESH), 1);
    std::vector<std::uint8_t> rgb(128 * 64 * 3);
    const PixelStoreScope tightRows;
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  };
  const std::vector<std::uint8_t> clean = texels();

  const std::pair<GLenum, GLint> found[] = {{GL_PACK_ROW_LENGTH, 675}, {GL_PACK_SKIP_ROWS, 3},
                                            {GL_UNPACK_ALIGNMENT, 8}, {GL_UNPACK_ROW_LENGTH, 300}};
  for (const auto& [name, value] : found) glPixelStorei(name, value);
  EXPECT_TRUE(texels() == clean);
  for (const auto& [name, value] : found) {
    GLint now = 0;
    glGetIntegerv(name, &now);
    EXPECT_EQ(now, value) << name;
    glPixelStorei(name, name == GL_UNPACK_ALIGNMENT ? 4 : 0);  // the defaults again
  }
}

// An upload keeps the top row at t = 0.
TEST_F(Textures, ImagesUploadTopRowFirst) {
  BmpImage picture;
  picture.Allocate(4, 4, 24);
  picture.Data()[0] = 200;  // top-left red
  UploadImageTexture(picture, TEX_FILTERED);
  ASSERT_EQ(Level0(TEX_FILTERED, GL_TEXTURE_WIDTH), 4);
  std::uint8_t texels[4 * 4 * 3] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  EXPECT_EQ(texels[0], 200);
}

// The gradient maps are written relative to the working directory, so these
// tests run in a copy of the texture tree.
class GradientMaps : public Textures {
 protected:
  // Runs the start-up step on the source slot's map and returns what it
  // printed.
  std::string Compute() {
    testing::internal::CaptureStdout();
    BmpImage source;
    source.LoadFrom(maps_[MAP_SOURCE]);
    combined_ = SaveGradientMaps(source, filtered_);
    return testing::internal::GetCapturedStdout();
  }

  ScratchTextureTree tree_;
  MapFileTable maps_;
  BmpImage filtered_;
  bool combined_ = false;
};

// A source that cannot be read, missing or cut short after a header that
// claims 3000 × 4000 pixels, gives no Sobel maps, yet the combination of the
// two empty ones is announced, saved (0 × 0) and shown.
TEST_F(GradientMaps, UnreadableSourceSavesOnlyAnEmptyCombinedMap) {
  WriteBytes("textures/sourcemap/Cut.bmp", Joined(BmpHeader(3000, 4000, 24, 54), Bytes(10, 0)));

  for (const char* source : {"Textures/Sourcemap/Missing.bmp", "Textures/Sourcemap/Cut.bmp"}) {
    SCOPED_TRACE(source);
    maps_.files[MAP_SOURCE] = source;
    EXPECT_EQ(Compute(), "\tSaving COMBINED_SOBEL....\n");
    EXPECT_FALSE(std::ifstream("textures/sourcemap/Saved/SavedH.bmp") ||
                 std::ifstream("textures/sourcemap/Saved/SavedV.bmp"));
    // Header only: 0 × 0 pixels (and 0 bits per pixel, those of the empty
    // vertical map, so neither reader would take it back).
    const Bytes header = ReadBytes("textures/sourcemap/Saved/SavedHV.bmp");
    ASSERT_EQ(header.size(), 56u);
    EXPECT_EQ(Bytes(header.begin() + 18, header.begin() + 26), Bytes(8, 0)) << "width, height";
    EXPECT_TRUE(combined_ && filtered_.Width() == 0);
  }
}

std::vector<int> GreyLevels(const BmpImage& image) {
  std::vector<int> levels;
  for (std::size_t i = 0; i < image.ByteCount(); i += 3) {
    EXPECT_EQ(image.Data()[i], image.Data()[i + 1]);
    EXPECT_EQ(image.Data()[i], image.Data()[i + 2]);
    levels.push_back(image.Data()[i]);
  }
  return levels;
}

// A 200-grey block in the top-left corner of a black 5 × 4 picture. By hand,
// interior pixels (x 1..3, rows 1..2):
//   horizontal (row above minus row below, 1 2 1): 800, 600, 200 on both
//     rows; 800 and 600 wrap to their low 8 bits, 32 and 88.
//   vertical (left column minus right, 1 2 1): row 1 gives 0, 600, 600
//     (88, 88); row 2 gives 0, 200, 200.
//   combined: the low 8 bits of the integer part of sqrt(h² + v²), e.g.
//     sqrt(88² + 200²) = 218.5 -> 218 and sqrt(2 × 200²) = 282.8 -> 26.
// Borders are copied from the source into both Sobel maps.
TEST_F(GradientMaps, SavedMapsOfAHandMadeSourceHoldTheHandComputedLevels) {
  // clang-format off
  BmpImage source = GreyPicture(5, 4, [](int x, int y) { return x < 3 && y < 2 ? 200 : 0; });
  const std::vector<int> horizontal = {
      200, 200, 200,   0, 0,
      200,  32,  88, 200, 0,
        0,  32,  88, 200, 0,
        0,   0,   0,   0, 0};
  const std::vector<int> vertical = {
      200, 200, 200,   0, 0,
      200,   0,  88,  88, 0,
        0,   0, 200, 200, 0,
        0,   0,   0,   0, 0};
  const std::vector<int> combined = {
       26,  26,  26,   0, 0,
       26,  32, 124, 218, 0,
        0,  32, 218,  26, 0,
        0,   0,   0,   0, 0};
  // clang-format on
  ASSERT_TRUE(source.Save("textures/sourcemap/Corner.bmp"));
  maps_.files[MAP_SOURCE] = "textures/sourcemap/Corner.bmp";
  EXPECT_EQ(
      Compute(),
      "\tSaving HORIZONTAL_SOBEL....\n\tSaving VERTICAL_SOBEL....\n\tSaving COMBINED_SOBEL....\n");
  const struct { const char* file; const std::vector<int>& levels; } maps[] = {
      {"SavedH", horizontal}, {"SavedV", vertical}, {"SavedHV", combined}};
  for (const auto& map : maps) {
    SCOPED_TRACE(map.file);
    BmpImage saved;
    ASSERT_TRUE(saved.Load(std::string("Textures/Sourcemap/Saved/") + map.file + ".bmp"));
    EXPECT_EQ(std::make_pair(saved.Width(), saved.Height()), std::make_pair(5, 4));
    EXPECT_EQ(GreyLevels(saved), map.levels);
  }
  EXPECT_EQ(GreyLevels(filtered_), combined) << "the combined map is the one shown";
}

}  // namespace
