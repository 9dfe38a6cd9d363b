// Thumbnails fitted into a square: proportions kept, never enlarged, each
// pixel its box's average weighted by alpha.

#include "image/rgba_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

RgbaPicture Picture(int width, int height, std::vector<std::uint8_t> pixels) {
  return {width, height, std::move(pixels)};
}

TEST(FitWithin, KeepsTheProportionsAndNeverEnlarges) {
  struct Case {
    int width, height, size, fittedWidth, fittedHeight;
  };
  for (const Case& c : {Case{200, 100, 64, 64, 32}, Case{100, 200, 64, 32, 64},
                        Case{1000, 1, 64, 64, 1}, Case{300, 200, 64, 64, 43}, Case{3, 2, 1, 1, 1},
                        Case{200, 100, 200, 200, 100}, Case{200, 100, 512, 200, 100}}) {
    const RgbaPicture picture = Picture(
        c.width, c.height, std::vector<std::uint8_t>(std::size_t(c.width) * c.height * 4, 9));
    const RgbaPicture fitted = FitWithin(picture, c.size);
    EXPECT_EQ(std::make_pair(fitted.width, fitted.height),
              std::make_pair(c.fittedWidth, c.fittedHeight)) << c.width << " x " << c.height << " into " << c.size;
    EXPECT_EQ(fitted.pixels, std::vector<std::uint8_t>(fitted.pixels.size(), 9));
  }
}

TEST(FitWithin, AveragesEachBoxWeightedByAlpha) {
  const std::uint8_t red[4] = {255, 0, 0, 255}, blue[4] = {0, 0, 255, 255};
  std::vector<std::uint8_t> halves;
  for (int i = 0; i < 8; ++i) {
    const std::uint8_t* pixel = i % 4 < 2 ? red : blue;
    halves.insert(halves.end(), pixel, pixel + 4);
  }
  EXPECT_EQ(FitWithin(Picture(4, 2, halves), 2).pixels,
            (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));
  // Black and white checks give the grey between them.
  const std::vector<std::uint8_t> checks = {0,   0,   0,   255, 255, 255, 255, 255,
                                            255, 255, 255, 255, 0,   0,   0,   255};
  EXPECT_EQ(FitWithin(Picture(2, 2, checks), 1).pixels,
            (std::vector<std::uint8_t>{128, 128, 128, 255}));
  // A transparent pixel's colour does not tint its opaque neighbour.
  EXPECT_EQ(FitWithin(Picture(2, 1, {255, 255, 255, 0, 0, 0, 0, 255}), 1).pixels,
            (std::vector<std::uint8_t>{0, 0, 0, 128}));
}

}  // namespace
