#pragma once
// Checks of the pictures a painting embeds, made on their headers before
// the program is handed them: a map must be a BMP of a kind the painter's
// readers take, with every pixel there, and no larger than any reader
// accepts; a thumbnail must at least be a PNG.

#include <string>

#include "document/painting.h"

// What a picture is read as: a map (by the texture reader, which takes 4-
// and 8-bit palette pictures and 16-, 24- and 32-bit ones: the data set's
// own maps come in all of them), or a picture processed on the CPU (the
// filtered picture: 24 and 32 bits).
enum class BmpUse { kMap, kPicture };

// "" when `bmp` is an uncompressed BMP of a depth its use reads, whose
// palette and pixels, within kMaxImageBytes, are all in the bytes; else
// what is wrong with it.
std::string BmpProblem(const Bytes& bmp, BmpUse use);
// "" when `png` starts with the PNG signature.
std::string PngProblem(const Bytes& png);
