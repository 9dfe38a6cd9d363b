#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/bmp_decoder.h"
#include "image/image.h"
#include "platform/files.h"

namespace {

constexpr int kHeaderBytes = 56;  // 14-byte file header, 40-byte info header, 2 spare

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

namespace {

// What the processing side asks of a file: true colour only, each pixel
// kept whole, the pixel data where the file header says, and a truncated
// file read with its missing bytes as zero (a cut-off source picture still
// shows what it has). Refusals are said on the console.
constexpr BmpReadOptions kImageReading{
    Image::kRowOrder,         BmpDepths::kTrueColour,
    /*keepExtraBytes=*/true,  BmpTruncation::kZeroFill, BmpDataStart::kFileHeaderOffset,
    /*reportRefusals=*/true,
    /*keepStoredRows=*/false,
};

// The picture as a BMP file into `file`: a 56-byte header, then the rows
// bottom-up, each padded to 4 bytes. Write errors are not detected.
void WriteBmp(const Image& image, std::FILE* file) {
  // A picture lacking some of its pixels is written as an empty one.
  const bool whole = image.HasAllPixels();
  const int width = whole ? image.Width() : 0, height = whole ? image.Height() : 0;
  const int bytesPerPixel = image.BitsPerPixel() / 8;
  const std::size_t rowBytes = std::size_t(width) * bytesPerPixel;
  const std::size_t paddedRow = PaddedRow(rowBytes);
  const std::uint32_t imageSize = static_cast<std::uint32_t>(paddedRow * height);
  std::uint8_t header[kHeaderBytes] = {};  // the two spare bytes at 54 are written as 0
  header[0] = 'B';
  header[1] = 'M';
  WriteU32(header + 2, kHeaderBytes + imageSize);
  WriteU32(header + 10, kHeaderBytes);
  WriteU32(header + 14, 40);
  WriteU32(header + 18, static_cast<std::uint32_t>(width));
  WriteU32(header + 22, static_cast<std::uint32_t>(height));
  WriteU16(header + 26, 1);
  WriteU16(header + 28, static_cast<std::uint16_t>(image.BitsPerPixel()));
  WriteU32(header + 34, imageSize);
  WriteU32(header + 38, 2834);
  WriteU32(header + 42, 2834);
  std::fwrite(header, 1, kHeaderBytes, file);

  // Rows go out bottom-up in BGR order through one scratch row, which leaves
  // the image itself untouched. Zero-width rows hold nothing to write.
  std::vector<std::uint8_t> row(paddedRow, 0);
  for (int y = height - 1; y >= 0 && rowBytes > 0; --y) {
    std::memcpy(row.data(), image.Data() + std::size_t(y) * rowBytes, rowBytes);
    for (std::size_t i = 0; bytesPerPixel >= 3 && i + 2 < rowBytes; i += bytesPerPixel)
      std::swap(row[i], row[i + 2]);
    std::fwrite(row.data(), 1, paddedRow, file);
  }
}

}  // namespace

// Our choice for a failed load: the picture stays exactly as it was (the
// Filter panel's source keeps its last good picture), never a new size
// without pixels.
bool BmpImage::Load(const std::string& filename) { return LoadFrom(PictureSource(filename)); }

bool BmpImage::LoadFrom(const PictureSource& source) {
  // The reader borrows this picture's pixel block, so that reloading a
  // picture of the same size reuses its memory instead of mapping new
  // memory every time; a failed read hands it back untouched.
  DecodedPicture picture;
  picture.pixels.swap(pixels_);
  BmpFile file;
  const bool read = ReadBmp(source, kImageReading, picture, file);
  pixels_.swap(picture.pixels);
  if (!read) return false;
  width_ = picture.width;
  height_ = picture.height;
  bitsPerPixel_ = file.info.bitCount;
  return true;
}

bool BmpImage::Save(const std::string& filename) {
  FileCloser file{OpenFile(filename, "wb")};
  if (!file.file) return false;
  WriteBmp(*this, file.file);
  return true;
}

std::vector<std::uint8_t> BmpImage::SavedBytes() const {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* stream = ::open_memstream(&buffer, &size);
  if (!stream) return {};
  WriteBmp(*this, stream);
  std::fclose(stream);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

bool Image::AllocateForOverwrite(int width, int height, int bitsPerPixel) {
  if (width < 0 || height < 0 || bitsPerPixel < 0) return false;
  const std::uint64_t bytes = PixelBytes(width, height, bitsPerPixel / 8);
  if (bytes > kMaxImageBytes || !ResizeForOverwrite(pixels_, bytes)) return false;
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  return true;
}
