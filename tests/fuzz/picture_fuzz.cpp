// libFuzzer target: a BMP file through both readers, BmpImage and
// TextureImage. Each either fails, leaving what it held (the picture a
// failed load was over) or nothing (a texture), or succeeds with exactly the
// pixels its size asks for; where both take the file as the same 24- or
// 32-bit picture, they must read the same pixels. Any broken rule stops the
// fuzzer. Run it with -close_fd_mask=1: a failed load says so on stdout.
//
// The corpus in tests/fuzz/corpus/picture is replayed through this same
// function by picture_corpus_tests in every build.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/image.h"
#include "image/texture_image.h"
#include "tests/fuzz/fuzz_rules.h"

namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& file, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v |= std::uint32_t(at + i < file.size() ? file[at + i] : 0) << (8 * i);
  return v;
}

// The pixel data of a BMP file starts at the offset its file header gives
// (bytes 10-13). An offset that points into the headers themselves (14
// bytes, then an info header of at least 40) names no pixel data.
bool PixelDataOffsetIsPastTheHeaders(const std::vector<std::uint8_t>& file) {
  const std::uint64_t infoHeader = std::max<std::uint32_t>(40, U32At(file, 14));
  return U32At(file, 10) >= 14 + infoHeader;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
  const PictureSource source("fuzz.bmp", bytes);
  BmpImage image;
  image.Allocate(2, 1, 24);
  for (int i = 0; i < 6; ++i) image.Data()[i] = static_cast<std::uint8_t>(40 * i + 1);
  const std::vector<std::uint8_t> before(image.Data(), image.Data() + 6);
  const bool loaded = image.LoadFrom(source);
  Check(loaded ? image.Width() >= 0 && image.Height() >= 0 && image.BitsPerPixel() >= 24 &&
                     image.ByteCount() ==
                         std::uint64_t(image.Width()) * image.Height() * (image.BitsPerPixel() / 8)
               : image.Width() == 2 && image.Height() == 1 && image.BitsPerPixel() == 24 &&
                     std::equal(before.begin(), before.end(), image.Data()));

  TextureImage texture;
  const bool read = texture.Read(source);
  Check(read ? texture.width >= 0 && texture.height >= 0 &&
                   texture.rgbPixels.size() == std::uint64_t(texture.width) * texture.height * 3
             : texture.width == 0 && texture.height == 0 && texture.rgbPixels.empty() &&
                   texture.rawPixels.empty());

  // 24- and 32-bit pixels are stored blue, green, red (and a fourth byte),
  // rows bottom-up: the image's top row is the record's last.
  if (!loaded || !read || image.BitsPerPixel() != int(texture.bitCount) ||
      (texture.bitCount != 24 && texture.bitCount != 32) || !PixelDataOffsetIsPastTheHeaders(*bytes))
    return 0;
  Check(image.Width() == texture.width && image.Height() == texture.height);
  const std::size_t width = image.Width(), height = image.Height();
  const std::size_t bytesPerPixel = texture.bitCount / 8;
  for (std::size_t row = 0; row < height; ++row)
    for (std::size_t x = 0; x < width; ++x)
      for (std::size_t c = 0; c < 3; ++c)
        Check(image.Data()[(row * width + x) * bytesPerPixel + c] ==
              texture.rgbPixels[((height - 1 - row) * width + x) * 3 + c]);
  return 0;
}
