#pragma once
// Pictures and BMP files made by hand for the image tests, and the bytes of
// files and pictures to compare.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/image.h"

using Bytes = std::vector<std::uint8_t>;

Bytes Pixels(const Image& image);
bool SamePixels(const Image& a, const Image& b);
// A 24-bit picture whose three channels at (x, y), y = 0 the top row, are
// all value(x, y).
BmpImage GreyPicture(int width, int height, const std::function<int(int x, int y)>& value);

// The 54 header bytes of a BMP file (zero-filled up to `offset`, where its
// pixel data starts), with the given size, bit count and palette length.
Bytes BmpHeader(int width, int height, int bits, std::uint32_t offset,
                std::uint32_t coloursUsed = 0);
void Put32(Bytes& bytes, std::size_t at, std::uint32_t value);
Bytes Joined(Bytes bytes, const Bytes& more);
void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
