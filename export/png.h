#pragma once
// PNG files through libpng: screenshots (8-bit RGB), the icon (8-bit RGBA)
// and height maps (16-bit grey). Pixels are given top row first. Files are
// written under a temporary name beside the target and renamed when
// complete, so a failed write leaves nothing half-written; the same pixels
// always give the same bytes (no time stamp or other varying chunk is
// written).

#include <cstdint>
#include <string>
#include <vector>

#include "image/rgba_picture.h"

// width × height × channels bytes: R, G, B (channels 3) or R, G, B, A (4).
bool WritePng8(const std::string& path, int width, int height, int channels,
               const std::vector<std::uint8_t>& pixels, std::string* error);

// The bytes of a PNG file of 8-bit RGB (channels 3) or RGBA (channels 4)
// pixels, top row first, for pictures embedded in other files or written
// beside them. Empty when the size or the pixels do not fit.
std::vector<std::uint8_t> EncodePng8(int width, int height, int channels,
                                     const std::vector<std::uint8_t>& pixels);
// The same for width × height 16-bit grey samples, 0 black … 65535 white.
std::vector<std::uint8_t> EncodePngGrey16(int width, int height,
                                          const std::vector<std::uint16_t>& grey);

// What a PNG file holds, for tests and checks: 8-bit RGB(A) or 16-bit grey
// samples widened to 16 bits, top row first. False when it cannot be read.
struct PngPicture {
  int width = 0, height = 0, channels = 0, bitDepth = 0;
  std::vector<std::uint16_t> samples;
};
bool ReadPng(const std::string& path, PngPicture* picture);

// Decodes `png`, whatever kind of PNG it is, into 8-bit RGBA (the
// thumbnails paintings carry, for file managers and the Paintings window).
// A picture of more than `mostPixels` pixels is refused from its header,
// before anything is allocated for it. False with `error` saying what is
// wrong (libpng's reason for a damaged file).
bool DecodePng(const std::vector<std::uint8_t>& png, std::uint64_t mostPixels, RgbaPicture& picture,
               std::string& error);
