// The thumbnailer's picture work: decoding whatever PNG a file carries
// (and refusing one made to use up memory), and a painting's thumbnail
// entry that is no PNG.
// The installed program is run by desktop_test.sh.

#include <gtest/gtest.h>
#include <zlib.h>

#include <tuple>

#include "document/document.h"
#include "document/zip_archive.h"
#include "export/png.h"
#include "platform/atomic_file.h"
#include "tests/support/scratch_dir.h"

namespace {

// A 1 × 1 PNG whose header says it is `width` × `height`, checksum right,
// so that only the size can refuse it.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
  Bytes png = EncodePng8(1, 1, 3, {1, 2, 3});
  const std::uint32_t fields[2] = {width, height};
  for (int f = 0; f < 2; ++f)
    for (int i = 0; i < 4; ++i) png[16 + 4 * f + i] = std::uint8_t(fields[f] >> (24 - 8 * i));
  const uLong crc = crc32(0, &png[12], 17);  // the chunk's type and data
  for (int i = 0; i < 4; ++i) png[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
  return png;
}

TEST(DecodePng, GivesRgbaAndRefusesDamagedOrOversizedPictures) {
  RgbaPicture picture;
  std::string error;
  ASSERT_TRUE(DecodePng(EncodePng8(2, 1, 3, {10, 20, 30, 40, 50, 60}), 100, picture, error));
  EXPECT_EQ(std::make_tuple(picture.width, picture.height, picture.pixels),
            std::make_tuple(2, 1, Bytes{10, 20, 30, 255, 40, 50, 60, 255}));

  Bytes cut = EncodePng8(16, 16, 3, std::vector<std::uint8_t>(16 * 16 * 3, 77));
  cut.resize(cut.size() - 20);
  EXPECT_FALSE(DecodePng(cut, 1000, picture, error));
  EXPECT_NE(error.find("the thumbnail is damaged"), std::string::npos) << error;

  EXPECT_FALSE(DecodePng(PngClaiming(100000, 100000), 4096 * 4096, picture, error));
  EXPECT_EQ(error,
            "the thumbnail is 100000 x 100000 pixels, more than the 16777216 a thumbnail may have");
}

TEST(ReadThumbnail, RefusesAThumbnailThatIsNoPng) {
  const ScratchDir dir;
  ZipWriter zip;
  const std::pair<const char*, std::string> entries[] = {
      {"mimetype", kPaintingMimeType}, {"thumbnail.png", std::string("BM\0\0", 4)}};
  for (const auto& [name, bytes] : entries)
    zip.Add(name, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
            ZipWriter::Packing::kStored);
  Bytes file, png;
  std::string error;
  const std::string path = dir.File("bmp.kelvra");
  ASSERT_TRUE(zip.Finish(file, error) && WriteFileWhole(path, file, &error)) << error;
  EXPECT_FALSE(ReadThumbnail(path, png, error));
  EXPECT_EQ(error, path + ": entry \"thumbnail.png\" is not a PNG picture");
  EXPECT_TRUE(png.empty());
}

}  // namespace
