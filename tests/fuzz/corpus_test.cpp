// Every file of the fuzz corpus (seeds and whatever the fuzzers kept) goes
// through both readers. Each reader either fails and holds what it should
// after a failure, or succeeds with exactly the pixels its size asks for;
// where both readers take a file as the same picture, they must read the
// same pixels. The sanitizer build also checks that no read goes out of
// bounds.
#include "tests/support/corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "image/texture_image.h"
#include "tests/support/console.h"
#include "tests/support/pictures.h"

namespace {

std::vector<std::string> PictureCorpusFiles() {
  std::vector<std::string> files;
  for (const char* reader : {"bmp", "texture"})
    for (std::string& file : CorpusFiles(KELVRA_CORPUS_DIR, reader))
      files.push_back(std::move(file));
  return files;
}

std::uint32_t U32At(const Bytes& file, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v |= std::uint32_t(at + i < file.size() ? file[at + i] : 0) << (8 * i);
  return v;
}

// The pixel data of a BMP file starts at the offset its file header gives
// (bytes 10-13). An offset that points into the headers themselves (14
// bytes, then an info header of at least 40) names no pixel data.
bool PixelDataOffsetIsPastTheHeaders(const Bytes& file) {
  const std::uint64_t infoHeader = std::max<std::uint32_t>(40, U32At(file, 14));
  return U32At(file, 10) >= 14 + infoHeader;
}

// A picture to load over: a failed load must leave it as it is.
BmpImage Previous() {
  BmpImage image;
  image.Allocate(2, 1, 24);
  for (int i = 0; i < 6; ++i) image.Data()[i] = static_cast<std::uint8_t>(40 * i + 1);
  return image;
}

TEST(FuzzCorpus, EachReaderFailsCleanlyOrHoldsExactlyItsPixelsAndBothAgree) {
  const std::vector<std::string> files = PictureCorpusFiles();
  ASSERT_GE(files.size(), 5u);
  int compared = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    BmpImage image = Previous();
    bool loaded = false;
    Quietly([&] { loaded = image.Load(file); });  // the loader's complaints
    if (loaded) {
      ASSERT_TRUE(image.Width() >= 0 && image.Height() >= 0 && image.BitsPerPixel() >= 24);
      ASSERT_EQ(image.ByteCount(), std::uint64_t(image.Width()) * std::uint64_t(image.Height()) *
                                       std::uint64_t(image.BitsPerPixel() / 8));
    } else {
      ASSERT_TRUE(SamePixels(image, Previous()));
    }

    TextureImage texture;
    const int read = texture.Read(file.c_str());
    if (read) {
      ASSERT_TRUE(texture.width >= 0 && texture.height >= 0);
      ASSERT_EQ(texture.rgbPixels.size(),
                std::uint64_t(texture.width) * std::uint64_t(texture.height) * 3);
    } else {
      ASSERT_EQ(std::make_pair(texture.width, texture.height), std::make_pair(0, 0));
      ASSERT_TRUE(texture.rgbPixels.empty() && texture.rawPixels.empty());
    }

    // 24- and 32-bit pixels are stored blue, green, red (and a fourth byte),
    // rows bottom-up: the image's top row is the record's last.
    const Bytes bytes = ReadBytes(file);
    if (!loaded || !read || image.BitsPerPixel() != int(texture.bitCount) ||
        (texture.bitCount != 24 && texture.bitCount != 32) ||
        !PixelDataOffsetIsPastTheHeaders(bytes))
      continue;
    ++compared;
    ASSERT_EQ(std::make_pair(image.Width(), image.Height()),
              std::make_pair(texture.width, texture.height));
    const std::size_t width = image.Width(), height = image.Height();
    const std::size_t bytesPerPixel = texture.bitCount / 8;
    for (std::size_t row = 0; row < height; ++row)
      for (std::size_t x = 0; x < width; ++x)
        for (std::size_t c = 0; c < 3; ++c)
          ASSERT_EQ(image.Data()[(row * width + x) * bytesPerPixel + c],
                    texture.rgbPixels[((height - 1 - row) * width + x) * 3 + c])
              << "row " << row << " column " << x << " channel " << c;
  }
  EXPECT_GE(compared, 5) << "too few files read by both readers to compare";
}

}  // namespace
