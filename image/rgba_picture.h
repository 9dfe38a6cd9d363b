#pragma once
// A picture of 8-bit red, green, blue and alpha, made smaller to fit a
// square: the thumbnails a painting carries and the ones file managers
// show for it.

#include <cstdint>
#include <vector>

// R, G, B, A (not premultiplied), top row first.
struct RgbaPicture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
};

// The picture fitted into a `size` × `size` square with its proportions
// kept (at least one pixel a side), never made larger than it is: a file
// manager draws a picture smaller than its square as it is. Each pixel is
// the average of the box of pixels it covers, weighted by their alpha, so
// that the colour of transparent pixels does not bleed into the rest.
RgbaPicture FitWithin(const RgbaPicture& picture, int size);
