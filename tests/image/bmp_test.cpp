#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "image/texture_image.h"
#include "tests/support/console.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"

namespace {

Bytes Truncated(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

// 3 × 2 picture, top row red green blue, bottom row white black grey.
BmpImage SmallPicture() {
  BmpImage image;
  image.Allocate(3, 2, 24);
  const std::uint8_t pixels[] = {255, 0,   0,   0, 255, 0, 0,   0,   255,
                                 255, 255, 255, 0, 0,   0, 128, 128, 128};
  std::copy(std::begin(pixels), std::end(pixels), image.Data());
  return image;
}

// Every test reads and writes its files in a folder of its own.
class BmpFiles : public ::testing::Test {
 protected:
  bool Loads(BmpImage& image, const Bytes& bytes) {
    WriteBytes(scratch_.File("case.bmp"), bytes);
    return image.Load(scratch_.File("case.bmp"));
  }
  int Reads(TextureImage& texture, const Bytes& bytes) {
    WriteBytes(scratch_.File("case.bmp"), bytes);
    return texture.Read(scratch_.File("case.bmp").c_str());
  }
  std::string File(const std::string& name) const { return scratch_.File(name); }

 private:
  ScratchDir scratch_;
};

// A saved picture pads its rows to four bytes (3 pixels of 3 bytes to 12)
// and loads back as it was; a picture of width 0, as a file says, too.
TEST_F(BmpFiles, SaveAndLoadRoundTripWithRowPadding) {
  BmpImage zeroWidth;
  ASSERT_TRUE(Loads(zeroWidth, BmpHeader(0, 5, 24, 56)));
  for (BmpImage image : {SmallPicture(), zeroWidth}) {
    SCOPED_TRACE(image.Width());
    const Bytes before = Pixels(image);
    ASSERT_TRUE(image.Save(File("round.bmp")));
    EXPECT_EQ(Pixels(image), before) << "save changed pixels";
    EXPECT_EQ(ReadBytes(File("round.bmp")).size(), 56u + image.Height() * (image.Width() ? 12 : 0));
    BmpImage loaded = SmallPicture();
    ASSERT_TRUE(loaded.Load(File("round.bmp")));
    EXPECT_EQ(std::make_tuple(loaded.Width(), loaded.Height(), loaded.ByteCount()),
              std::make_tuple(image.Width(), image.Height(), image.ByteCount()));
    EXPECT_EQ(Pixels(loaded), before);
  }
  EXPECT_EQ(std::make_pair(zeroWidth.Height(), zeroWidth.ByteCount()),
            std::make_pair(5, std::size_t{0}));
}

// Broken and hostile files through both readers (that whatever loads holds
// exactly the pixels its size asks for is checked over the fuzz corpus). A
// BmpImage load that fails leaves the picture exactly as it was, and only a
// bad magic and a bit count below 24 say so on the console; a texture read
// that fails holds nothing and says nothing. Big claims below the size cap
// in tiny files fail before allocating,
// except that BmpImage keeps the rows a moderately truncated file has.
TEST_F(BmpFiles, BrokenAndHostileFilesInBothReaders) {
  const Bytes oneRow = {1, 2, 3, 4, 5, 6, 0, 0};  // two pixels B G R, padded
  Bytes hugeImageSize = Joined(BmpHeader(2, 1, 24, 54), oneRow);
  Put32(hugeImageSize, 34, 200u << 20);  // "image size": 200 MiB
  Bytes farOffset = Joined(BmpHeader(2, 1, 24, 54), oneRow);
  Put32(farOffset, 10, 0x7FFFFFF0u);  // pixel data far past the end
  const char* const kHeader = "ERROR: Unsupported BMP Header\n";
  const char* const kBits = "ERROR: Unsupported BPP\n";
  // The file (empty: no file at all), whether BmpImage loads it, what that
  // prints, whether a texture reads it (-1: either, the result is checked
  // all the same).
  const struct {
    const char* what;
    Bytes file;
    bool bmpLoads;
    const char* console;
    int textureReads;
  } cases[] = {
      {"no file", {}, false, "", 0},
      {"bad magic", {'X', 'Y', 0, 0}, false, kHeader, 0},
      {"cut in the file header", {'B', 'M', 1}, false, kBits, 0},
      {"cut in the info header", Truncated(BmpHeader(4, 4, 24, 54), 30), true, "", 0},
      {"no pixel data", BmpHeader(4, 4, 24, 54), true, "", 0},
      {"1 bit", BmpHeader(4, 4, 1, 54), false, kBits, 0},
      {"8 bits without its palette", BmpHeader(2, 2, 8, 56), false, kBits, 0},
      {"past the size cap", BmpHeader(100000, 100000, 24, 56), false, "", 0},
      {"negative height", BmpHeader(4, -4, 24, 56), false, "", -1},
      {"negative width", BmpHeader(-4, 4, 24, 56), false, "", 0},
      {"36 MB claimed by 62 bytes", Joined(BmpHeader(3000, 4000, 24, 54), Bytes(8, 1)), false, "",
       0},
      {"48 MB claimed by one row", Joined(BmpHeader(4000, 4000, 24, 54), oneRow), false, "", 0},
      {"750 kB claimed by one row", Joined(BmpHeader(500, 500, 24, 54), oneRow), true, "", 0},
      {"8 bits 8000 x 8000", Joined(BmpHeader(8000, 8000, 8, 54, 2), {0, 0, 0, 0, 9, 9, 9, 0, 1}),
       false, kBits, 0},
      {"16 bits 3000 x 3000", Joined(BmpHeader(3000, 3000, 16, 54), oneRow), false, kBits, 0},
      {"zero width, 2^31 - 1 rows", BmpHeader(0, 0x7FFFFFFF, 24, 54), true, "", 1},
      {"image size 200 MiB", hugeImageSize, true, "", 0},
      {"pixel data past the end", farOffset, true, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BmpImage image = SmallPicture();
    testing::internal::CaptureStdout();
    const bool loaded = c.file.empty() ? image.Load(File("missing.bmp")) : Loads(image, c.file);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.console);
    EXPECT_EQ(loaded, c.bmpLoads);
    EXPECT_EQ(Pixels(image), loaded ? Pixels(image) : Pixels(SmallPicture()));

    TextureImage texture;  // holding a picture: a failure leaves nothing behind
    ASSERT_EQ(Reads(texture, Joined(BmpHeader(2, 3, 24, 54), Bytes(24, 7))), 1);
    testing::internal::CaptureStdout();
    const int read =
        c.file.empty() ? texture.Read(File("missing.bmp").c_str()) : Reads(texture, c.file);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(read, c.textureReads >= 0 ? c.textureReads : read);
    EXPECT_EQ(texture.width | texture.height, read ? texture.width | texture.height : 0);
  }
  BmpImage image = SmallPicture();
  EXPECT_FALSE(image.Load(""));
  EXPECT_EQ(Pixels(image), Pixels(SmallPicture()));

  // The 500 × 500 claim: the one row in the file is the bottom row.
  ASSERT_TRUE(Loads(image, Joined(BmpHeader(500, 500, 24, 54), oneRow)));
  const std::uint8_t* bottom = image.Data() + 499 * 500 * 3;
  EXPECT_EQ(Bytes(bottom, bottom + 9), (Bytes{3, 2, 1, 6, 5, 4, 0, 0, 0}));
  EXPECT_EQ(Bytes(image.Data(), image.Data() + 3), (Bytes{0, 0, 0}));
}

// Small files read by hand through both readers (the BMP image keeps its
// fourth byte and refuses fewer than 24 bits; the texture record keeps R, G,
// B, bottom row first). 16-bit pixels: red in bits 10-14, green 5-9, blue
// 0-4, bit 15 unused; each 5-bit value v widens to (v << 3) | (v >> 2), so
// 0 stays 0 and 31 gives 255. A 4-bit row's third pixel comes from the
// high nibble of its second byte.
TEST_F(BmpFiles, HandMadeFilesReadAsTheirPixelsInBothReaders) {
  Bytes sixteenGreys = BmpHeader(3, 1, 4, 54, 16);
  for (int i = 0; i < 16; ++i)
    sixteenGreys = Joined(sixteenGreys, {0, 0, static_cast<std::uint8_t>(i * 16), 0});
  // The BMP image's pixels (empty: refused as "Unsupported BPP"), the
  // texture record's.
  const struct { const char* what; Bytes file, image, texture; } cases[] = {
      {"32 bits at offset 54", Joined(BmpHeader(1, 1, 32, 54), {10, 20, 30, 40}), {30, 20, 10, 40},
       {30, 20, 10}},
      {"32 bits at offset 56", Joined(BmpHeader(1, 1, 32, 56), {10, 20, 30, 40}), {30, 20, 10, 40},
       {30, 20, 10}},
      {"8 bits, index 1 pure blue",
       Joined(BmpHeader(2, 1, 8, 54, 2), {0, 0, 0, 0, 255, 0, 0, 0, 1, 0, 0, 0}), {},
       {0, 0, 255, 0, 0, 0}},
      {"4 bits, width 3", Joined(sixteenGreys, {0x12, 0x30, 0, 0}), {},
       {16, 0, 0, 32, 0, 0, 48, 0, 0}},
      {"16 bits",
       Joined(BmpHeader(3, 1, 16, 54),
              {0x01, 0xFE,  // 1 11111 10000 00001: bit 15 set, red 31, green 16, blue 1
               0xEA, 0x03,  // 0 00000 11111 01010: red 0, green 31, blue 10
               0x1F, 0x14,  // 0 00101 00000 11111: red 5, green 0, blue 31
               0, 0}),      // padding to 8 bytes
       {}, {255, 132, 8, 0, 255, 82, 41, 0, 255}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BmpImage image;
    bool loaded = false;
    EXPECT_EQ(Printed([&] { loaded = Loads(image, c.file); }),
              c.image.empty() ? "ERROR: Unsupported BPP\n" : "");
    EXPECT_EQ(loaded ? Pixels(image) : Bytes(), c.image);
    TextureImage texture;
    ASSERT_EQ(Reads(texture, c.file), 1);
    EXPECT_EQ(Bytes(texture.rgbPixels.begin(), texture.rgbPixels.end()), c.texture);
  }
}

}  // namespace
