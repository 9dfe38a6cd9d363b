// The two readers of the one format (the BMP image the painter edits and
// the texture record maps are read into), each file through both.
#include "image/bmp_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "image/texture_image.h"
#include "tests/support/console.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"

namespace {

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
  const Bytes header = BmpHeader(4, 4, 24, 54);
  Bytes hugeImageSize = Joined(BmpHeader(2, 1, 24, 54), oneRow);
  Put32(hugeImageSize, 34, 200u << 20);  // "image size": 200 MiB
  Bytes farOffset = Joined(BmpHeader(2, 1, 24, 54), oneRow);
  Put32(farOffset, 10, 0x7FFFFFF0u);  // pixel data far past the end
  const char* const kHeader = "ERROR: Unsupported BMP Header\n";
  const char* const kBits = "ERROR: Unsupported BPP\n";
  // The file (empty: no file at all), whether BmpImage loads it, what that
  // prints, whether a texture reads it (-1: either, the result is checked
  // all the same).
  const struct { const char* what; Bytes file; bool bmpLoads; const char* console; int textureReads; }
  cases[] = {
      {"no file", {}, false, "", 0},
      {"bad magic", {'X', 'Y', 0, 0}, false, kHeader, 0},
      {"cut in the file header", {'B', 'M', 1}, false, kBits, 0},
      {"cut in the info header", Bytes(header.begin(), header.begin() + 30), true, "", 0},
      {"no pixel data", header, true, "", 0},
      {"1 bit", BmpHeader(4, 4, 1, 54), false, kBits, 0},
      {"8 bits without its palette", BmpHeader(2, 2, 8, 56), false, kBits, 0},
      {"past the size cap", BmpHeader(100000, 100000, 24, 56), false, "", 0},
      {"negative height", BmpHeader(4, -4, 24, 56), false, "", -1},
      {"36 MB claimed by 62 bytes", Joined(BmpHeader(3000, 4000, 24, 54), Bytes(8, 1)), false, "",
       0},
      {"48 MB claimed by one row", Joined(BmpHeader(4000, 4000, 24, 54), oneRow), false, "", 0},
      {"750 kB claimed by one row", Joined(BmpHeader(500, 500, 24, 54), oneRow), true, "", 0},
      {"8 bits 8000 x 8000", Joined(BmpHeader(8000, 8000, 8, 54, 2), {0, 0, 0, 0, 9, 9, 9, 0, 1}),
       false, kBits, 0},
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


// A true-colour file `height` rows of `width` pixels, every stored byte
// different from its neighbours and the row padding 0xEE, which no pixel
// may show.
Bytes TrueColourFile(int width, int height, int bits) {
  const std::size_t rowBytes = std::size_t(width) * (bits / 8), stride = (rowBytes + 3) / 4 * 4;
  Bytes file = BmpHeader(width, height, bits, 54);
  for (int row = 0; row < height; ++row) {
    for (std::size_t b = 0; b < stride; ++b)
      file.push_back(b < rowBytes ? static_cast<std::uint8_t>(row * 37 + b * 11 + b / 3) : 0xEE);
  }
  return file;
}

// The picture such a file holds, top row first: the stored rows taken
// bottom-up, each pixel's first and third byte swapped, a fourth byte kept
// in place or dropped.
Bytes TopFirstPixels(const Bytes& file, int width, int height, int bits, bool keepFourth) {
  const std::size_t stored = bits / 8, rowBytes = width * stored, stride = (rowBytes + 3) / 4 * 4;
  Bytes pixels;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = &file[54 + std::size_t(height - 1 - y) * stride];
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = row + x * stored;
      pixels.insert(pixels.end(), {p[2], p[1], p[0]});
      if (keepFourth && stored == 4) pixels.push_back(p[3]);
    }
  }
  return pixels;
}

Bytes TopFirst(DecodedPicture picture) {
  ArrangeRows(picture, RowOrder::kTopFirst);
  return Bytes(picture.pixels.begin(), picture.pixels.end());
}

// Every row order, with rows read straight into the picture or through a
// block (widths that are multiples of 4 have no padding), streamed
// (missing bytes zero) or read whole (refused when short), over several
// blocks of rows; each file whole and cut short, in its headers or anywhere
// in its pixel data (large files are read in blocks of rows: cut in a middle
// block and in the last). What is read is the file's pixels once turned top
// row first, missing bytes zero; a refused read leaves the picture it was to
// replace, whose pixel block it would have reused, exactly as it was. The
// two front ends read whole files' pixels in their own orders.
TEST_F(BmpFiles, EveryRowOrderAndReadingPathGivesTheFilesPixels) {
  const std::string path = File("picture.bmp");
  const std::pair<int, int> sizes[] = {{1, 1},  {3, 2},     {4, 3},    {5, 9},
                                       {8, 9}, {700, 130}, {701, 130}};
  for (const int bits : {24, 32}) {
    for (const auto& [width, height] : sizes) {
      const Bytes file = TrueColourFile(width, height, bits);
      const std::size_t stride = (width * bits / 8 + 3) / 4 * 4;
      const std::size_t size = std::size_t(width) * height * 3;
      for (const std::size_t cut : {file.size(), std::size_t{30}, std::size_t{54}, 54 + stride,
                                    54 + height / 2 * stride + 7, file.size() - 1}) {
        if (cut > file.size()) continue;
        Bytes zeroed(file.begin(), file.begin() + cut);
        zeroed.resize(file.size(), 0);
        WriteBytes(path, Bytes(file.begin(), file.begin() + cut));
        for (const RowOrder order : {RowOrder::kTopFirst, RowOrder::kBottomFirst})
          for (const bool keepFourth : {true, false})
            for (const auto truncation : {BmpTruncation::kZeroFill, BmpTruncation::kRefuse}) {
              SCOPED_TRACE(testing::Message()
                           << width << "x" << height << ", " << bits << " bits cut at " << cut
                           << ", order " << int(order) << ", keep " << keepFourth
                           << ", truncation " << int(truncation));
              DecodedPicture picture;
              picture.width = width, picture.height = height, picture.bytesPerPixel = 3;
              picture.pixels.assign(size, 0xA5);
              const RowOrder before =
                  order == RowOrder::kTopFirst ? RowOrder::kBottomFirst : RowOrder::kTopFirst;
              picture.rowOrder = before;
              BmpFile layout;
              const BmpReadOptions options{order, BmpDepths::kStandard, keepFourth, truncation,
                                           BmpDataStart::kFileHeaderOffset, false, false};
              const bool read = ReadBmp(path, options, picture, layout);
              ASSERT_EQ(read, truncation == BmpTruncation::kZeroFill || cut == file.size());
              EXPECT_EQ(picture.rowOrder, read ? order : before);
              const Bytes held(picture.pixels.begin(), picture.pixels.end());
              EXPECT_EQ(read ? TopFirst(std::move(picture)) : held,
                        read ? TopFirstPixels(zeroed, width, height, bits, keepFourth)
                             : Bytes(size, 0xA5));
            }
      }
      WriteBytes(path, file);
      BmpImage image;
      TextureImage texture;
      ASSERT_TRUE(image.Load(path));
      ASSERT_EQ(texture.Read(path.c_str()), 1);
      EXPECT_EQ(Pixels(image), TopFirstPixels(file, width, height, bits, true));
      DecodedPicture taken = texture.TakePicture();
      EXPECT_EQ(taken.rowOrder, RowOrder::kBottomFirst) << "textures upload the bottom row first";
      EXPECT_EQ(TopFirst(std::move(taken)), TopFirstPixels(file, width, height, bits, false));
    }
  }
}

}  // namespace
