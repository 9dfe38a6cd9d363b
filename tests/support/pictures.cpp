#include "tests/support/pictures.h"

#include <algorithm>
#include <fstream>
#include <iterator>

Bytes Pixels(const Image& image) { return {image.Data(), image.Data() + image.ByteCount()}; }

bool SamePixels(const Image& a, const Image& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         a.BitsPerPixel() == b.BitsPerPixel() && Pixels(a) == Pixels(b);
}

BmpImage GreyPicture(int width, int height, const std::function<int(int x, int y)>& value) {
  BmpImage image;
  image.Allocate(width, height, 24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c)
        image.Data()[(y * width + x) * 3 + c] = static_cast<std::uint8_t>(value(x, y));
  return image;
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes BmpHeader(int width, int height, int bits, std::uint32_t offset, std::uint32_t coloursUsed) {
  Bytes b(std::max<std::uint32_t>(offset, 54), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 10, offset);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bits);
  Put32(b, 46, coloursUsed);
  return b;
}

Bytes Joined(Bytes bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
  return bytes;
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
