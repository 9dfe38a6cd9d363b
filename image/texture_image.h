#pragma once
// The picture record that feeds textures. Read() accepts 4- and 8-bit
// palette files and 16-, 24- and 32-bit files and converts them all to
// 24-bit RGB with the rows in FILE ORDER: row 0 is the BOTTOM row of the
// picture, which is OpenGL's row order for texture images.

#include <cstdint>
#include <vector>

#include "common/large_array.h"

struct BmpInfoHeader {
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::int32_t xPixelsPerMetre = 0;
  std::int32_t yPixelsPerMetre = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
};

struct TextureImage {
  LargeArray<std::uint8_t> rawPixels;  // as stored: bottom-up, rows padded to 4 bytes
  BmpInfoHeader info;
  std::uint32_t imageByteCount = 0;
  std::uint32_t rowStride = 0;
  std::vector<std::uint8_t> palette;  // 4 bytes per entry: blue, green, red, reserved
  std::uint32_t paletteEntryCount = 0;
  int width = 0;
  int height = 0;
  std::uint32_t bitCount = 0;
  LargeArray<std::uint8_t> rgbPixels;  // width × height × 3, bottom row first

  // 1 on success, 0 on any failure (silently).
  int Read(const char* path);
  // Every field but the info header back to zero, buffers freed.
  void Reset();
  void Release() { Reset(); }
};
