#pragma once
// The picture record that feeds textures. Read() accepts 4- and 8-bit
// palette files and 16-, 24- and 32-bit files and converts them all to
// 24-bit RGB with the rows in file order: row 0 is the bottom row of the
// picture (kRowOrder), which is OpenGL's row order for texture images.

#include <cstdint>
#include <vector>

#include "common/large_array.h"
#include "image/bmp_decoder.h"
#include "image/decoded_picture.h"

struct TextureImage {
  static constexpr RowOrder kRowOrder = RowOrder::kBottomFirst;

  LargeArray<std::uint8_t> rawPixels;  // as stored: bottom-up, rows padded to 4 bytes
  BmpInfoHeader info;
  std::uint32_t imageByteCount = 0;
  std::uint32_t rowStride = 0;
  std::vector<std::uint8_t> palette;  // 4 bytes per entry: blue, green, red, reserved
  std::uint32_t paletteEntryCount = 0;
  int width = 0;
  int height = 0;
  std::uint32_t bitCount = 0;
  LargeArray<std::uint8_t> rgbPixels;  // width × height × 3, in kRowOrder

  // 1 on success, 0 on any failure (silently). The record is released
  // first, so a failed read leaves it empty.
  int Read(const PictureSource& source);
  int Read(const char* path) { return Read(PictureSource(path)); }
  // Every field but the info header back to zero, buffers freed.
  void Reset();
  void Release() { Reset(); }
  // The RGB pixels as a picture that says its row order; the record is
  // released.
  DecodedPicture TakePicture();
};
