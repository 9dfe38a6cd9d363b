#pragma once
// The picture a file manager shows for a painting, made from the PNG the
// painting carries: decoded with libpng whatever kind of PNG it is (and
// made small enough for the file manager's square with FitWithin).

#include <cstdint>
#include <string>
#include <vector>

#include "image/rgba_picture.h"

// The painter's thumbnails are 256 pixels a side at most. A picture of
// more pixels than this is no thumbnail of ours but a file made to use up
// the memory of the file manager's helper: 4096 × 4096 decode to 64 MiB.
constexpr std::uint64_t kMostThumbnailPixels = 4096ull * 4096;

// Decodes `png` into `picture`. A picture of more than `mostPixels` pixels
// is refused from its header, before anything is allocated for it. False
// with `error` saying what is wrong (libpng's reason for a damaged file).
bool DecodePng(const std::vector<std::uint8_t>& png, std::uint64_t mostPixels, RgbaPicture& picture,
               std::string& error);
