#include "image/texture_image.h"

#include <utility>

namespace {

// What textures ask of a file: every depth a map may come in, reduced to
// R, G, B rows in GL's order; the pixel data after the palette unless the
// file header puts it further on (files written with a gap, offset 56, read
// true colours); the stored rows kept. A file lacking any of its bytes is
// refused like a missing one: no texture shows a cut-off picture. Silent,
// as the texture loaders are about missing maps.
constexpr BmpReadOptions kTextureReading{
    TextureImage::kRowOrder,  BmpDepths::kStandard,
    /*keepExtraBytes=*/false, BmpTruncation::kRefuse, BmpDataStart::kAfterPalette,
    /*reportRefusals=*/false,
    /*keepStoredRows=*/true,
};

}  // namespace

void TextureImage::Reset() {
  rawPixels.clear();
  rawPixels.shrink_to_fit();
  palette.clear();
  palette.shrink_to_fit();
  rgbPixels.clear();
  rgbPixels.shrink_to_fit();
  imageByteCount = rowStride = paletteEntryCount = bitCount = 0;
  width = height = 0;
}

int TextureImage::Read(const PictureSource& source) {
  Reset();
  DecodedPicture picture;
  BmpFile file;
  file.info = info;  // kept unless the file has an info header to replace it
  const bool read = ReadBmp(source, kTextureReading, picture, file);
  info = file.info;
  if (!read) return 0;
  rawPixels.swap(file.storedRows);
  imageByteCount = file.storedBytes;
  rowStride = file.rowStride;
  palette.swap(file.palette);
  paletteEntryCount = file.paletteEntryCount;
  width = picture.width;
  height = picture.height;
  bitCount = info.bitCount;
  rgbPixels.swap(picture.pixels);
  return 1;
}

DecodedPicture TextureImage::TakePicture() {
  DecodedPicture picture;
  picture.width = width;
  picture.height = height;
  picture.bytesPerPixel = 3;
  picture.rowOrder = kRowOrder;
  picture.pixels.swap(rgbPixels);
  Release();
  return picture;
}
