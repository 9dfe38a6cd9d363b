#pragma once
// The picture a file manager shows for a painting, made from the PNG the
// painting carries: decoded with libpng whatever kind of PNG it is (and
// made small enough for the file manager's square with FitWithin).

#include <cstdint>
#include <string>
#include <vector>

#include "image/rgba_picture.h"

// Decodes `png` into `picture`. A picture of more than `mostPixels` pixels
// is refused from its header, before anything is allocated for it. False
// with `error` saying what is wrong (libpng's reason for a damaged file).
bool DecodePng(const std::vector<std::uint8_t>& png, std::uint64_t mostPixels, RgbaPicture& picture,
               std::string& error);
