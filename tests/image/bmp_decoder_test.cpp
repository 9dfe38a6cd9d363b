#include "image/bmp_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "image/texture_image.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"

namespace {

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

BmpReadOptions Options(RowOrder order, bool keepFourth, BmpTruncation truncation) {
  return {order, BmpDepths::kStandard, keepFourth, truncation, BmpDataStart::kFileHeaderOffset,
          /*report=*/false, /*keepStoredRows=*/false};
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
TEST(BmpDecoder, EveryRowOrderAndReadingPathGivesTheFilesPixels) {
  ScratchDir scratch;
  const std::string path = scratch.File("picture.bmp");
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
              const bool read =
                  ReadBmp(path, Options(order, keepFourth, truncation), picture, layout);
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
