#include "export/png.h"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/atomic_file.h"

namespace {

struct WriteTarget {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteTarget() {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  }
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  bytes->insert(bytes->end(), data, data + length);
}

void NoFlush(png_structp) {}

// The PNG bytes of rows of `rowBytes` bytes each; `colourType` and
// `bitDepth` as libpng names them. 16-bit samples are given big-endian, as
// PNG stores them. False when libpng fails. Encoding into memory keeps
// libpng away from the file: a failed write is then the file's own call,
// with the system's reason. Level 6 is zlib's usual balance; for the
// large, noisy maps embedded in mesh files level 3 is three times faster
// and, with libpng's per-row filter choice, no larger.
bool Encode(int width, int height, int colourType, int bitDepth, const std::uint8_t* rows,
            std::size_t rowBytes, int level, std::vector<std::uint8_t>* bytes) {
  WriteTarget target;
  target.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (target.png) target.info = png_create_info_struct(target.png);
  if (!target.png || !target.info) return false;
  if (setjmp(png_jmpbuf(target.png))) return false;
  png_set_write_fn(target.png, bytes, AppendBytes, NoFlush);
  png_set_compression_level(target.png, level);
  png_set_IHDR(target.png, target.info, static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(height), bitDepth, colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(target.png, target.info);
  for (int y = 0; y < height; ++y)
    png_write_row(target.png, const_cast<png_bytep>(rows + static_cast<std::size_t>(y) * rowBytes));
  png_write_end(target.png, nullptr);
  return true;
}

bool Write(const std::string& path, int width, int height, int colourType, int bitDepth,
           const std::uint8_t* rows, std::size_t rowBytes, std::string* error) {
  if (width <= 0 || height <= 0) {
    if (error) *error = "nothing to write: the picture is empty";
    return false;
  }
  std::vector<std::uint8_t> bytes;
  if (!Encode(width, height, colourType, bitDepth, rows, rowBytes, 6, &bytes)) {
    if (error) *error = "cannot write " + path + ": cannot encode the picture";
    return false;
  }
  AtomicFile file(path);
  if (!file.Open(error)) return false;
  file.Write(bytes.data(), bytes.size());
  return file.Commit(error);
}

}  // namespace

bool WritePng8(const std::string& path, int width, int height, int channels,
               const std::vector<std::uint8_t>& pixels, std::string* error) {
  if (channels != 3 && channels != 4) {
    if (error) *error = "a picture has 3 or 4 channels";
    return false;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  if (pixels.size() < rowBytes * static_cast<std::size_t>(height)) {
    if (error) *error = "fewer pixels than the picture's size";
    return false;
  }
  return Write(path, width, height, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               8, pixels.data(), rowBytes, error);
}

std::vector<std::uint8_t> EncodePngGrey16(int width, int height,
                                          const std::vector<std::uint16_t>& grey) {
  std::vector<std::uint8_t> bytes;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (width <= 0 || height <= 0 || grey.size() < count) return bytes;
  std::vector<std::uint8_t> bigEndian(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    bigEndian[2 * i] = static_cast<std::uint8_t>(grey[i] >> 8);
    bigEndian[2 * i + 1] = static_cast<std::uint8_t>(grey[i] & 0xFF);
  }
  if (!Encode(width, height, PNG_COLOR_TYPE_GRAY, 16, bigEndian.data(),
              static_cast<std::size_t>(width) * 2, 6, &bytes))
    bytes.clear();
  return bytes;
}

bool ReadPng(const std::string& path, PngPicture* picture) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool read = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_read_info(png, info);
    const int width = static_cast<int>(png_get_image_width(png, info));
    const int height = static_cast<int>(png_get_image_height(png, info));
    const int depth = png_get_bit_depth(png, info);
    const int channels = png_get_channels(png, info);
    if (width > 0 && height > 0 && (depth == 8 || depth == 16) &&
        png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
      std::vector<std::uint8_t> row(png_get_rowbytes(png, info));
      picture->width = width;
      picture->height = height;
      picture->channels = channels;
      picture->bitDepth = depth;
      picture->samples.clear();
      for (int y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        const std::size_t samples = static_cast<std::size_t>(width) * channels;
        for (std::size_t i = 0; i < samples; ++i)
          picture->samples.push_back(
              depth == 16 ? static_cast<std::uint16_t>(row[2 * i] << 8 | row[2 * i + 1]) : row[i]);
      }
      read = true;
    }
  }
  png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
  std::fclose(file);
  return read;
}

std::vector<std::uint8_t> EncodePng8(int width, int height, int channels,
                                     const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> bytes;
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
      pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                          static_cast<std::size_t>(channels))
    return bytes;
  if (!Encode(width, height, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8,
              pixels.data(), static_cast<std::size_t>(width) * static_cast<std::size_t>(channels),
              3, &bytes))
    bytes.clear();
  return bytes;
}

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
