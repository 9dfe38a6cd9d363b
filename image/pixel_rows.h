#pragma once
// Row conversions shared by the BMP readers: files store blue, green, red;
// pictures in memory hold red, green, blue.

#include <cstddef>
#include <cstdint>

// dst gets `pixels` 3-byte pixels of src with the first and third byte of
// each swapped. The ranges must not overlap. Takes the active vector path
// (image/vector_paths.h).
void CopyBgrToRgb(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);

// Rows a and b exchanged, each with the first and third byte of its
// `pixels` 3-byte pixels swapped on the way. a and b are the same row (which
// is then converted in place) or do not overlap.
void ExchangeRowsBgrToRgb(std::uint8_t* a, std::uint8_t* b, std::size_t pixels);
