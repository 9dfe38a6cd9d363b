#pragma once
// Checks of the pictures a painting embeds, made on their headers before
// the program is handed them: a map must be a BMP of a kind the painter's
// readers take, with every pixel there, and no larger than any reader
// accepts; a thumbnail must at least be a PNG.

#include <string>

#include "document/painting.h"

// "" when `bmp` is an uncompressed 24- or 32-bit BMP whose pixels, within
// kMaxImageBytes, are all in the bytes; else what is wrong with it.
std::string BmpProblem(const Bytes& bmp);
// "" when `png` starts with the PNG signature.
std::string PngProblem(const Bytes& png);
