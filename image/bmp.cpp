#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "image/image.h"
#include "image/pixel_rows.h"
#include "platform/files.h"

namespace {

constexpr int kHeaderBytes = 56;  // 14-byte file header, 40-byte info header, 2 spare

std::uint32_t ReadU32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
void WriteU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void WriteU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint64_t PaddedRow(std::uint64_t bytes) { return (bytes + 3) & ~std::uint64_t{3}; }

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

// width × height × bytesPerPixel, or kMaxImageBytes + 1 when the product
// would pass the cap (computed so that it cannot overflow on the way).
std::uint64_t PixelBytes(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel) {
  if (width <= 0 || height <= 0 || bytesPerPixel <= 0) return 0;
  const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);  // < 2^62
  if (pixels > kMaxImageBytes / std::uint64_t(bytesPerPixel)) return kMaxImageBytes + 1;
  return pixels * std::uint64_t(bytesPerPixel);
}

}  // namespace

bool Image::HasAllPixels() const {
  const int width = Width(), height = Height(), bits = BitsPerPixel();
  if (width < 0 || height < 0 || bits < 0) return false;
  const std::uint64_t bytes = PixelBytes(width, height, bits / 8);
  return bytes == 0 || (Data() != nullptr && pixels_.size() >= bytes);
}

bool Image::Allocate(int width, int height, int bitsPerPixel) {
  if (!AllocateForOverwrite(width, height, bitsPerPixel)) return false;
  std::fill(pixels_.begin(), pixels_.end(), 0);
  return true;
}

void Image::CopyFrom(const Image& other) {
  if (&other == this) return;
  const bool whole = other.HasAllPixels();
  width_ = whole ? other.Width() : 0;
  height_ = whole ? other.Height() : 0;
  bitsPerPixel_ = other.BitsPerPixel();
  const std::uint8_t* data = other.Data();
  const std::size_t bytes = PixelBytes(width_, height_, bitsPerPixel_ / 8);
  pixels_.assign(data, data ? data + bytes : data);
}

// Our choice for a failed load: the picture stays exactly as it was (the
// Filter panel's source keeps its last good picture), never a new size
// without pixels. So the file is read into a fresh picture, which replaces
// this one only when the whole read succeeded.
bool BmpImage::Load(const std::string& filename) {
  // The fresh picture borrows this one's pixel block, so that reloading a
  // picture of the same size reuses its memory instead of mapping new
  // memory every time. Read changes the block only after its last check
  // that can fail; a failed read hands it back untouched.
  BmpImage fresh;
  fresh.pixels_.swap(pixels_);
  if (!fresh.Read(filename)) {
    pixels_.swap(fresh.pixels_);
    return false;
  }
  pixels_.swap(fresh.pixels_);
  width_ = fresh.width_;
  height_ = fresh.height_;
  bitsPerPixel_ = fresh.bitsPerPixel_;
  return true;
}

bool BmpImage::Read(const std::string& filename) {
  FileCloser file{OpenFile(filename, "rb")};
  if (!file.file) return false;
  std::uint8_t header[kHeaderBytes] = {};
  // A file shorter than the header leaves the rest zero: it then fails the
  // magic or bit-count test below, or reads as an empty picture.
  const std::size_t got = std::fread(header, 1, kHeaderBytes, file.file);
  if (got < 2 || header[0] != 'B' || header[1] != 'M') {
    std::printf("ERROR: Unsupported BMP Header\n");
    std::fflush(stdout);
    return false;
  }
  const std::uint16_t bitCount = ReadU16(header + 28);
  if (bitCount < 24) {
    std::printf("ERROR: Unsupported BPP\n");
    std::fflush(stdout);
    return false;
  }
  const std::int32_t width = static_cast<std::int32_t>(ReadU32(header + 18));
  const std::int32_t height = static_cast<std::int32_t>(ReadU32(header + 22));
  const std::uint32_t dataOffset = ReadU32(header + 10);
  const int bytesPerPixel = bitCount / 8;
  // A header may claim far more pixels than the file holds. Rows missing at
  // the end of a truncated file stay zero, but a claim beyond 64 times the
  // file's size fails like an allocation instead of zeroing hundreds of
  // megabytes for a few bytes of input.
  std::fseek(file.file, 0, SEEK_END);
  const std::uint64_t fileBytes = static_cast<std::uint64_t>(std::max(0L, std::ftell(file.file)));
  const std::uint64_t claimed = PixelBytes(width, height, bytesPerPixel);
  if (claimed > 64 * fileBytes + (1u << 20)) return false;
  std::fseek(file.file, static_cast<long>(got), SEEK_SET);
  // Not cleared: the reading below writes every byte.
  if (!AllocateForOverwrite(width, height, bitCount)) return false;
  if (static_cast<long>(got) != static_cast<long>(dataOffset) &&
      std::fseek(file.file, static_cast<long>(dataOffset), SEEK_SET) != 0) {
    std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0});  // no rows: all zero
    return true;
  }

  ReadRowsBottomUp(file.file, width, height, bytesPerPixel);
  return true;
}

namespace {

// Places `got` bytes of consecutive file rows, the first of them for array
// row `row` and each next one for the row above it, red and blue swapped.
// Returns the array row the next file row belongs to. A row cut short (the
// end of a truncated file) keeps the bytes it has, the rest of it zero.
int PlaceFileRows(const std::uint8_t* bytes, std::size_t got, std::uint8_t* pixels, int row,
                  std::size_t rowBytes, std::size_t paddedRow, int bytesPerPixel) {
  for (std::size_t at = 0; at < got && row >= 0; at += paddedRow, --row) {
    std::uint8_t* to = pixels + std::size_t(row) * rowBytes;
    const std::size_t count = std::min(rowBytes, got - at);
    if (count == rowBytes && bytesPerPixel == 3) {
      CopyBgrToRgb(bytes + at, to, rowBytes / 3);
      continue;
    }
    if (count < rowBytes) std::memset(to + count, 0, rowBytes - count);
    std::memcpy(to, bytes + at, count);
    for (std::size_t i = 0; i + 2 < rowBytes; i += bytesPerPixel) std::swap(to[i], to[i + 2]);
  }
  return row;
}

}  // namespace

// Every byte of the pixels is written: the rows the file holds, zeros for
// the rows (and the part of a row) a truncated file lacks.
void BmpImage::ReadRowsBottomUp(std::FILE* file, int width, int height, int bytesPerPixel) {
  const std::size_t rowBytes = std::size_t(width) * bytesPerPixel;
  const std::size_t paddedRow = PaddedRow(rowBytes);
  // A zero-width picture has no bytes to read, however many rows it claims.
  if (rowBytes == 0) return;
  // Rows arrive about 128 KiB at a time, one read call each, few enough to
  // stay in the processor's cache while they are converted.
  const int rowsPerBlock =
      static_cast<int>(std::max<std::size_t>(1, (std::size_t{128} << 10) / paddedRow));

  if (bytesPerPixel == 3 && paddedRow == rowBytes) {
    // Unpadded 24-bit rows (widths that are multiples of 4) are read
    // straight into the pixels: a block of file rows lands in the array rows
    // it belongs to but upside down, and is turned over and converted in
    // place while still in cache.
    for (int top = height; top > 0;) {
      const int count = std::min(rowsPerBlock, top);
      top -= count;
      std::uint8_t* block = pixels_.data() + std::size_t(top) * rowBytes;
      const std::size_t wanted = std::size_t(count) * rowBytes;
      const std::size_t got = std::fread(block, 1, wanted, file);
      if (got < wanted) {
        // The end of a truncated file: the rows it has go where they belong,
        // every row above them is zero.
        std::vector<std::uint8_t> read(block, block + got);
        std::memset(pixels_.data(), 0, std::size_t(top) * rowBytes + wanted);
        PlaceFileRows(read.data(), got, pixels_.data(), top + count - 1, rowBytes, rowBytes, 3);
        return;
      }
      for (int a = 0, b = count - 1; a <= b; ++a, --b)
        ExchangeRowsBgrToRgb(block + std::size_t(a) * rowBytes, block + std::size_t(b) * rowBytes,
                             std::size_t(width));
    }
    return;
  }

  // Padded rows, and 32-bit ones, go through a scratch block. It is not
  // cleared: only the bytes a read delivered are looked at.
  LargeArray<std::uint8_t> chunk;
  chunk.resize(std::size_t(rowsPerBlock) * paddedRow);
  for (int row = height - 1; row >= 0;) {
    const int wanted = std::min(rowsPerBlock, row + 1);
    const std::size_t got = std::fread(chunk.data(), 1, std::size_t(wanted) * paddedRow, file);
    row = PlaceFileRows(chunk.data(), got, pixels_.data(), row, rowBytes, paddedRow, bytesPerPixel);
    if (got < std::size_t(wanted) * paddedRow) {
      // The end of a truncated file: every row not reached is zero.
      std::memset(pixels_.data(), 0, std::size_t(row + 1) * rowBytes);
      return;
    }
  }
}

bool BmpImage::Save(const std::string& filename) {
  // A picture lacking some of its pixels is written as an empty one.
  const bool whole = HasAllPixels();
  const int width = whole ? Width() : 0, height = whole ? Height() : 0;
  const int bytesPerPixel = BitsPerPixel() / 8;
  const std::size_t rowBytes = std::size_t(width) * bytesPerPixel;
  const std::size_t paddedRow = PaddedRow(rowBytes);
  const std::uint32_t imageSize = static_cast<std::uint32_t>(paddedRow * height);
  FileCloser file{OpenFile(filename, "wb")};
  if (!file.file) return false;

  std::uint8_t header[kHeaderBytes] = {};  // the two spare bytes at 54 are written as 0
  header[0] = 'B';
  header[1] = 'M';
  WriteU32(header + 2, kHeaderBytes + imageSize);
  WriteU32(header + 10, kHeaderBytes);
  WriteU32(header + 14, 40);
  WriteU32(header + 18, static_cast<std::uint32_t>(width));
  WriteU32(header + 22, static_cast<std::uint32_t>(height));
  WriteU16(header + 26, 1);
  WriteU16(header + 28, static_cast<std::uint16_t>(BitsPerPixel()));
  WriteU32(header + 34, imageSize);
  WriteU32(header + 38, 2834);
  WriteU32(header + 42, 2834);
  std::fwrite(header, 1, kHeaderBytes, file.file);

  // Rows go out bottom-up in BGR order through one scratch row, which leaves
  // the image itself untouched. Zero-width rows hold nothing to write.
  std::vector<std::uint8_t> row(paddedRow, 0);
  for (int y = height - 1; y >= 0 && rowBytes > 0; --y) {
    std::memcpy(row.data(), pixels_.data() + std::size_t(y) * rowBytes, rowBytes);
    for (std::size_t i = 0; bytesPerPixel >= 3 && i + 2 < rowBytes; i += bytesPerPixel)
      std::swap(row[i], row[i + 2]);
    std::fwrite(row.data(), 1, paddedRow, file.file);
  }
  return true;
}

bool Image::AllocateForOverwrite(int width, int height, int bitsPerPixel) {
  if (width < 0 || height < 0 || bitsPerPixel < 0) return false;
  const std::uint64_t bytes = PixelBytes(width, height, bitsPerPixel / 8);
  if (bytes > kMaxImageBytes) return false;
  if (bytes <= pixels_.capacity()) {
    pixels_.resize(bytes);  // in the block it has; LargeArray leaves new bytes as they are
  } else {
    // The new block is taken before the old one goes, so that a failed
    // allocation leaves the picture as it was.
    LargeArray<std::uint8_t> pixels;
    try {
      pixels.resize(bytes);
    } catch (const std::bad_alloc&) {
      return false;
    }
    pixels_.swap(pixels);
  }
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  return true;
}
