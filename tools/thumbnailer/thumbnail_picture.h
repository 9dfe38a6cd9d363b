#pragma once
// The picture a file manager shows for a painting, made from the PNG the
// painting carries: decoded with libpng whatever kind of PNG it is, and
// made small enough for the file manager's square.

#include <cstdint>
#include <string>
#include <vector>

// 8-bit R, G, B, A (not premultiplied), top row first.
struct RgbaPicture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};

// Decodes `png` into `picture`. A picture of more than `mostPixels` pixels
// is refused from its header, before anything is allocated for it. False
// with `error` saying what is wrong (libpng's reason for a damaged file).
bool DecodePng(const std::vector<std::uint8_t>& png, std::uint64_t mostPixels, RgbaPicture& picture,
               std::string& error);

// The picture fitted into a `size` × `size` square with its proportions
// kept (at least one pixel a side), never made larger than it is: a file
// manager draws a picture smaller than its square as it is. Each pixel is
// the average of the box of pixels it covers, weighted by their alpha, so
// that the colour of transparent pixels does not bleed into the rest.
RgbaPicture FitWithin(const RgbaPicture& picture, int size);
