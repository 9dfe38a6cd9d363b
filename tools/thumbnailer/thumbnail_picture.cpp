#include "tools/thumbnailer/thumbnail_picture.h"

#include <png.h>

bool DecodePng(const std::vector<std::uint8_t>& png, std::uint64_t mostPixels, RgbaPicture& picture,
               std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  // On failure libpng frees what it allocated; png_image_free is for a
  // read given up between the two steps.
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    error = std::string("the thumbnail is not a readable PNG picture (") + image.message + ")";
    return false;
  }
  const std::uint64_t pixels = std::uint64_t{image.width} * image.height;
  if (pixels > mostPixels) {
    error = "the thumbnail is " + std::to_string(image.width) + " x " +
            std::to_string(image.height) + " pixels, more than the " + std::to_string(mostPixels) +
            " a thumbnail may have";
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    error = std::string("the thumbnail is damaged (") + image.message + ")";
    return false;
  }
  return true;
}
