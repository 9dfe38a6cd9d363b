#pragma once
// CPU-side pictures that are processed and may be written back: the source
// image, filter results and gradient maps. Rows are held top row first
// (kRowOrder), tightly packed, channels R, G, B (R, G, B, A for 32 bits per
// pixel).

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/large_array.h"
#include "image/picture_source.h"
#include "image/decoded_picture.h"

// The GL_RGB enum value, kept here so this header needs no GL header.
constexpr unsigned int kPixelFormatRgb = 0x1907;

class Image {
 public:
  static constexpr RowOrder kRowOrder = RowOrder::kTopFirst;

  virtual ~Image() = default;
  virtual std::uint8_t* Data() { return pixels_.empty() ? nullptr : pixels_.data(); }
  virtual const std::uint8_t* Data() const { return pixels_.empty() ? nullptr : pixels_.data(); }
  virtual int Width() const { return width_; }
  virtual int Height() const { return height_; }
  virtual int BitsPerPixel() const { return bitsPerPixel_; }
  virtual bool Load(const std::string& filename) = 0;
  virtual bool Save(const std::string& filename) = 0;
  virtual std::string Extension() const = 0;

  unsigned int PixelFormat() const { return pixelFormat_; }
  // Bytes the pixel array holds.
  std::size_t ByteCount() const { return pixels_.size(); }
  // True when the pixels hold the Width() × Height() × BitsPerPixel()/8
  // bytes the size asks for (an empty picture does). Nothing here leaves a
  // picture without them; consumers still take such a one for an empty
  // (0 × 0) picture rather than read through missing pixels.
  bool HasAllPixels() const;
  // Replaces the pixels with width × height × bitsPerPixel/8 zero bytes.
  // False, and the picture left as it was, when the size is negative,
  // beyond kMaxImageBytes or cannot be allocated.
  bool Allocate(int width, int height, int bitsPerPixel);
  // A copy of other's size and pixels; an empty picture if other lacks
  // some of its pixels.
  void CopyFrom(const Image& other);
  // As Allocate, but the bytes are left as they happen to be, for callers
  // that write every one of them; on failure the picture is left as it was.
  bool AllocateForOverwrite(int width, int height, int bitsPerPixel);

 protected:
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  unsigned int pixelFormat_ = kPixelFormatRgb;
  LargeArray<std::uint8_t> pixels_;
};

// Uncompressed Windows BMP, 24 and 32 bits per pixel.
class BmpImage : public Image {
 public:
  // False when the file cannot be opened or read. Prints
  // "ERROR: Unsupported BMP Header" (no "BM" magic) or "ERROR: Unsupported BPP"
  // (fewer than 24 bits per pixel). A failed load leaves the picture exactly
  // as it was.
  bool Load(const std::string& filename) override;
  // Load from a file or from bytes in memory (a picture a painting carries).
  bool LoadFrom(const PictureSource& source);
  // Writes a 56-byte header then the rows bottom-up, each padded to 4 bytes.
  bool Save(const std::string& filename) override;
  // The bytes Save writes.
  std::vector<std::uint8_t> SavedBytes() const;
  std::string Extension() const override { return "bmp"; }
};
