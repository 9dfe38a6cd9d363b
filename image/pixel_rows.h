#pragma once
// Row conversions shared by the BMP readers: files store blue, green, red;
// pictures in memory hold red, green, blue.

#include <cstddef>
#include <cstdint>

// dst gets `pixels` 3-byte pixels of src with the first and third byte of
// each swapped. The ranges must not overlap.
void CopyBgrToRgb(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);
