#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/texture_image.h"

namespace {

// Per process: ctest runs each test in a process of its own, several at once.
std::string TempPath(const std::string& name) {
  return "/tmp/kelvra_bmp_" + std::to_string(getpid()) + "_" + name;
}

// Removes the files the tests of this process wrote when the process ends.
const struct TempFiles {
  ~TempFiles() {
    for (const char* name : {"case.bmp", "round.bmp", "large.bmp"})
      std::remove(TempPath(name).c_str());
  }
} kTempFiles;

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void Put32(std::vector<std::uint8_t>& b, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP with the given header fields; pixel data starts at `offset`.
std::vector<std::uint8_t> Header(int width, int height, int bits, std::uint32_t offset,
                                 std::uint32_t coloursUsed = 0) {
  std::vector<std::uint8_t> b(offset > 54 ? offset : 54, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 10, offset);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bits);
  Put32(b, 46, coloursUsed);
  return b;
}

// Each reader given `bytes` as a file.
bool Loads(BmpImage& image, const std::vector<std::uint8_t>& bytes) {
  WriteFile(TempPath("case.bmp"), bytes);
  return image.Load(TempPath("case.bmp"));
}
int Reads(TextureImage& texture, const std::vector<std::uint8_t>& bytes) {
  WriteFile(TempPath("case.bmp"), bytes);
  return texture.Read(TempPath("case.bmp").c_str());
}

std::vector<std::uint8_t> Bytes(const std::uint8_t* data, std::size_t count) {
  return {data, data + count};
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> bytes, std::size_t size) {
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

// The saved file reads back through both readers: the BMP image top row
// first, the texture record bottom row first.
TEST(BmpImage, SaveAndLoadRoundTripWithRowPaddingAndTextureRowsBottomFirst) {
  BmpImage image = SmallPicture();
  const std::vector<std::uint8_t> before = Bytes(image.Data(), 18);
  const std::string path = TempPath("round.bmp");
  ASSERT_TRUE(image.Save(path));
  EXPECT_EQ(Bytes(image.Data(), 18), before) << "save changed pixels";
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  EXPECT_EQ(file.tellg(), 56 + 2 * 12) << "3 pixels of 3 bytes pad to 12 bytes a row";
  BmpImage loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(std::make_pair(loaded.Width(), loaded.Height()), std::make_pair(3, 2));
  EXPECT_EQ(Bytes(loaded.Data(), 18), before);
  TextureImage texture;
  ASSERT_EQ(texture.Read(path.c_str()), 1);
  EXPECT_EQ(std::make_pair(texture.width, texture.height), std::make_pair(3, 2));
  std::vector<std::uint8_t> bottomFirst(before.begin() + 9, before.end());
  bottomFirst.insert(bottomFirst.end(), before.begin(), before.begin() + 9);
  EXPECT_EQ(Bytes(texture.rgbPixels.data(), 18), bottomFirst);
}

// A picture of several megabytes is read in blocks of rows; cut inside a
// row, the file must load exactly as reading it row by row would: whole
// rows converted, the last row with the bytes it has, the missing rows zero.
// Rows of 2103 bytes are padded to 2104 and pass through a scratch block;
// rows of 2100 bytes have no padding and are read straight into the pixels.
TEST(BmpImage, LargeTruncatedFileLoadsLikeRowByRowReading) {
  const int height = 901;  // the last block of unpadded rows has a middle row
  for (const int width : {701, 700}) {
    const std::size_t rowBytes = std::size_t(width) * 3, stride = (rowBytes + 3) / 4 * 4;
    BmpImage image;
    image.Allocate(width, height, 24);
    for (std::size_t i = 0; i < rowBytes * height; ++i)
      image.Data()[i] = static_cast<std::uint8_t>(i * 131 + i / 7);
    const std::string path = TempPath("large.bmp");
    ASSERT_TRUE(image.Save(path));
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    BmpImage loaded;
    for (std::size_t cut : {file.size(), 56 + 700 * stride + 1000, 56 + 20 * stride + rowBytes,
                            56 + 899 * stride + 5, 56 + 10 * stride + 4}) {
      SCOPED_TRACE(testing::Message() << "width " << width << " cut at " << cut);
      WriteFile(path, Truncated(file, cut));
      // The pixels are reused, not cleared, by the next load.
      loaded.Allocate(width, height, 24);
      std::fill(loaded.Data(), loaded.Data() + rowBytes * height, std::uint8_t{0xA5});
      ASSERT_TRUE(loaded.Load(path));
      for (int fileRow = 0; fileRow < height; ++fileRow) {
        std::vector<std::uint8_t> expected(rowBytes, 0);
        const std::size_t start = 56 + std::size_t(fileRow) * stride;
        for (std::size_t b = 0; b < rowBytes && start + b < cut; ++b) expected[b] = file[start + b];
        for (std::size_t p = 0; p < rowBytes; p += 3) std::swap(expected[p], expected[p + 2]);
        const std::uint8_t* row = loaded.Data() + std::size_t(height - 1 - fileRow) * rowBytes;
        ASSERT_EQ(Bytes(row, rowBytes), expected) << "file row " << fileRow;
      }
    }
  }
}

TEST(BmpImage, LoadsPixelDataAtOffset54Or56AndKeepsFourthByte) {
  for (std::uint32_t offset : {54u, 56u}) {
    SCOPED_TRACE(offset);
    std::vector<std::uint8_t> bytes = Header(1, 1, 32, offset);
    bytes.insert(bytes.end(), {10, 20, 30, 40});  // B G R A
    BmpImage image;
    ASSERT_TRUE(Loads(image, bytes));
    EXPECT_EQ(image.BitsPerPixel(), 32);
    EXPECT_EQ(Bytes(image.Data(), 4), (std::vector<std::uint8_t>{30, 20, 10, 40}));
  }
}

TEST(BmpImage, BadFilesFailWithTheTwoErrorLinesZeroWidthLoadsEmpty) {
  BmpImage image;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(Loads(image, {'X', 'Y', 0, 0}));
  EXPECT_FALSE(Loads(image, Header(2, 2, 8, 56)));
  EXPECT_FALSE(image.Load(TempPath("missing.bmp")));
  EXPECT_FALSE(image.Load(""));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: Unsupported BMP Header\nERROR: Unsupported BPP\n");
  EXPECT_FALSE(Loads(image, Header(100000, 100000, 24, 56)));
  EXPECT_FALSE(Loads(image, Header(4, -4, 24, 56)));
  EXPECT_TRUE(Loads(image, Header(0, 5, 24, 56)));
  EXPECT_EQ(image.Data(), nullptr);
}

TEST(TextureImage, ConvertsPaletteFiles) {
  // 8-bit: two entries, index 1 = pure blue (B, G, R, reserved).
  std::vector<std::uint8_t> eight = Header(2, 1, 8, 54, 2);
  eight.insert(eight.end(), {0, 0, 0, 0, 255, 0, 0, 0});
  eight.insert(eight.end(), {1, 0, 0, 0});
  TextureImage texture;
  ASSERT_EQ(Reads(texture, eight), 1);
  EXPECT_EQ(Bytes(texture.rgbPixels.data(), 6), (std::vector<std::uint8_t>{0, 0, 255, 0, 0, 0}));

  // 4-bit, width 3: the third pixel comes from the high nibble of byte 2.
  std::vector<std::uint8_t> four = Header(3, 1, 4, 54, 16);
  for (int i = 0; i < 16; ++i)
    four.insert(four.end(), {0, 0, static_cast<std::uint8_t>(i * 16), 0});
  four.insert(four.end(), {0x12, 0x30, 0, 0});
  ASSERT_EQ(Reads(texture, four), 1);
  EXPECT_EQ(Bytes(texture.rgbPixels.data(), 9),
            (std::vector<std::uint8_t>{16, 0, 0, 32, 0, 0, 48, 0, 0}));

  // 8-bit files are refused by the CPU-side reader.
  BmpImage image;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(Loads(image, eight));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Unsupported BPP\n");
}

TEST(TextureImage, FailsSilentlyOnBrokenFiles) {
  const std::vector<std::vector<std::uint8_t>> broken = {
      {'B', 'M', 1},                        // truncated file header
      Truncated(Header(4, 4, 24, 54), 30),  // truncated info header
      Header(4, 4, 24, 54),                 // no pixel data
      Header(4, 4, 1, 54),                  // 1 bit per pixel
      Header(3000000, 3000000, 24, 54),     // absurd size
  };
  testing::internal::CaptureStdout();
  for (std::size_t i = 0; i < broken.size(); ++i) {
    SCOPED_TRACE(i);
    TextureImage texture;
    EXPECT_EQ(Reads(texture, broken[i]), 0);
    EXPECT_TRUE(texture.rgbPixels.empty());
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
