#pragma once
// Decoded pixels that say which of their rows comes first. BMP files store
// the bottom row first, GL takes texture rows bottom first, and pictures
// processed on the CPU or written as PNG hold the top row first: a picture
// carries its order, and whoever reads rows by position asks for the order
// it needs (ArrangeRows) instead of remembering which one it was handed.
//
// Header only: the geometry core holds height maps as pictures without
// linking the image library.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

#include "common/large_array.h"

enum class RowOrder { kTopFirst, kBottomFirst };

struct DecodedPicture {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 0;
  RowOrder rowOrder = RowOrder::kTopFirst;
  // width × height × bytesPerPixel bytes, rows tightly packed (no padding),
  // channels R, G, B (and whatever further bytes a pixel keeps).
  LargeArray<std::uint8_t> pixels;

  std::size_t RowBytes() const { return std::size_t(width) * std::size_t(bytesPerPixel); }
  // The row `fromBottom` rows above the bottom edge of the picture,
  // wherever the order puts it.
  std::uint8_t* RowFromBottom(int fromBottom) {
    const int index = rowOrder == RowOrder::kBottomFirst ? fromBottom : height - 1 - fromBottom;
    return pixels.data() + std::size_t(index) * RowBytes();
  }
};

// Largest picture any reader accepts: 256 MiB of pixels. Real maps are a few
// MiB; a header claiming more is hostile or broken, and failing at once beats
// allocating gigabytes on its word.
constexpr std::uint64_t kMaxImageBytes = 256ull << 20;

// width × height × bytesPerPixel; 0 when a side is not positive, and
// kMaxImageBytes + 1 when the product would pass the cap (computed so that
// it cannot overflow on the way).
inline std::uint64_t PixelBytes(std::int64_t width, std::int64_t height,
                                std::int64_t bytesPerPixel) {
  if (width <= 0 || height <= 0 || bytesPerPixel <= 0) return 0;
  const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);  // < 2^62
  if (pixels > kMaxImageBytes / std::uint64_t(bytesPerPixel)) return kMaxImageBytes + 1;
  return pixels * std::uint64_t(bytesPerPixel);
}

// Gives `block` `bytes` bytes whose content is left as it happens to be,
// for callers that write every one of them. A block large enough already is
// reused, so that reading a picture of the same size again maps no new
// memory; a larger one is taken before the old one goes. False, and the
// block as it was, when the memory cannot be had.
inline bool ResizeForOverwrite(LargeArray<std::uint8_t>& block, std::size_t bytes) {
  if (bytes <= block.capacity()) {
    block.resize(bytes);  // LargeArray leaves new bytes as they are
    return true;
  }
  LargeArray<std::uint8_t> larger;
  try {
    larger.resize(bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  block.swap(larger);
  return true;
}

// The one place rows change order: the rows are turned over when the
// picture holds them the other way. A picture lacking some of its pixels
// only has its order relabelled; there are no rows to move.
inline void ArrangeRows(DecodedPicture& picture, RowOrder order) {
  if (picture.rowOrder == order) return;
  const std::size_t rowBytes = picture.RowBytes();
  if (picture.height > 0 && picture.pixels.size() >= rowBytes * std::size_t(picture.height)) {
    std::uint8_t* top = picture.pixels.data();
    std::uint8_t* bottom = top + rowBytes * std::size_t(picture.height - 1);
    for (; top < bottom; top += rowBytes, bottom -= rowBytes)
      std::swap_ranges(top, top + rowBytes, bottom);
  }
  picture.rowOrder = order;
}
