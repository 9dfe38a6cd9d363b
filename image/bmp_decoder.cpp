#include "image/bmp_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "image/pixel_rows.h"
#include "platform/files.h"

namespace {

constexpr std::size_t kHeadersBytes = 54;  // 14-byte file header, 40-byte info header
constexpr std::uint16_t kMagic = 0x4D42;   // "BM" read as a little-endian number

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

BmpInfoHeader DecodeInfo(const std::uint8_t* p) {
  BmpInfoHeader h;
  h.headerSize = U32(p);
  h.width = static_cast<std::int32_t>(U32(p + 4));
  h.height = static_cast<std::int32_t>(U32(p + 8));
  h.planes = U16(p + 12);
  h.bitCount = U16(p + 14);
  h.compression = U32(p + 16);
  h.imageSize = U32(p + 20);
  h.xPixelsPerMetre = static_cast<std::int32_t>(U32(p + 24));
  h.yPixelsPerMetre = static_cast<std::int32_t>(U32(p + 28));
  h.coloursUsed = U32(p + 32);
  h.coloursImportant = U32(p + 36);
  return h;
}

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

void Complain(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

bool Accepted(std::uint16_t bitCount, BmpDepths depths) {
  if (depths == BmpDepths::kTrueColour) return bitCount >= 24;
  return bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

std::uint64_t FileSize(std::FILE* file) {
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::rewind(file);
  return static_cast<std::uint64_t>(std::max(0L, size));
}

// Reads `count` bytes into `to`, zero past the end of the file. True when
// the file held them all.
bool ReadOrZero(std::FILE* file, std::uint8_t* to, std::size_t count) {
  if (count == 0) return true;  // an empty buffer may have no address at all
  const std::size_t got = std::fread(to, 1, count, file);
  std::memset(to + got, 0, count - got);
  return got == count;
}

// Positions the file at `offset`. A position the file cannot take reads as
// the end of the file when missing bytes are zero.
bool SeekTo(std::FILE* file, std::uint64_t offset, BmpTruncation truncation) {
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0) return true;
  return truncation == BmpTruncation::kZeroFill && std::fseek(file, 0, SEEK_END) == 0;
}

// How the stored pixels of a file turn into the picture's.
struct Layout {
  int width = 0;
  int height = 0;
  int storedBits = 0;     // bits a stored pixel takes
  int bytesPerPixel = 0;  // bytes a decoded pixel takes
  std::uint64_t rowStride = 0;
  std::uint64_t storedBytes = 0;
  std::uint64_t pictureBytes = 0;
  std::uint64_t paletteStart = 0;
  std::uint32_t paletteEntries = 0;
};

// The layout of an accepted file of non-negative size, or false when its
// picture (or its stored rows, when kept) would pass kMaxImageBytes.
bool LayOut(const BmpInfoHeader& info, const BmpReadOptions& options, Layout& layout) {
  layout.width = info.width;
  layout.height = info.height;
  // True-colour files of odd bit counts (25 to 31, say) store whole bytes.
  layout.storedBits =
      options.depths == BmpDepths::kTrueColour ? info.bitCount / 8 * 8 : int(info.bitCount);
  const bool trueColour = layout.storedBits >= 24;
  layout.bytesPerPixel = trueColour && options.keepExtraBytes ? layout.storedBits / 8 : 3;
  layout.pictureBytes = PixelBytes(info.width, info.height, layout.bytesPerPixel);
  if (layout.pictureBytes > kMaxImageBytes) return false;
  // Within the cap the picture has fewer than 2^28 pixels: no product overflows.
  layout.rowStride = (std::uint64_t(layout.storedBits) * std::uint64_t(info.width) + 31) / 32 * 4;
  layout.storedBytes = layout.rowStride * std::uint64_t(info.height);
  if (options.keepStoredRows) {
    if (layout.storedBytes > kMaxImageBytes) return false;
    // The stated image size is trusted only when it covers every row.
    if (info.imageSize > layout.storedBytes && info.imageSize <= kMaxImageBytes)
      layout.storedBytes = info.imageSize;
  }
  // Longer info headers (V4, V5) put the palette after the whole header.
  const bool longer = info.headerSize > 40 && info.headerSize <= 1024;
  layout.paletteStart = 14 + (longer ? info.headerSize : 40);
  if (layout.storedBits < 16) {
    // More entries than the bit count can index would only waste the read;
    // fewer are honoured, and indices past them read as black.
    const std::uint32_t most = 1u << layout.storedBits;
    layout.paletteEntries =
        info.coloursUsed != 0 && info.coloursUsed < most ? info.coloursUsed : most;
  }
  return true;
}

// Room for every entry the bit count can index, the file's own read in.
bool ReadPalette(std::FILE* file, const Layout& layout, BmpTruncation truncation,
                 std::vector<std::uint8_t>& palette) {
  if (layout.storedBits >= 16) return true;
  palette.assign(std::size_t(4) << layout.storedBits, 0);
  return SeekTo(file, layout.paletteStart, truncation) &&
         (ReadOrZero(file, palette.data(), std::size_t(layout.paletteEntries) * 4) ||
          truncation == BmpTruncation::kZeroFill);
}

std::uint64_t PixelDataStart(const std::uint8_t* headers, const Layout& layout,
                             BmpDataStart start) {
  const std::uint64_t offset = U32(headers + 10);
  if (start == BmpDataStart::kFileHeaderOffset) return offset;
  return std::max(offset, layout.paletteStart + std::uint64_t(layout.paletteEntries) * 4);
}

// 5-bit channel widened to 0..255 so 16-bit maps look like their 24-bit
// counterparts instead of nearly black.
std::uint8_t Widen5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }

void PaletteColour(const std::uint8_t* palette, unsigned index, std::uint8_t* to) {
  const std::uint8_t* entry = palette + std::size_t(index) * 4;
  to[0] = entry[2];
  to[1] = entry[1];
  to[2] = entry[0];
}

void TrueColourRow(const std::uint8_t* from, std::uint8_t* to, const Layout& layout) {
  const std::size_t width = std::size_t(layout.width), stored = std::size_t(layout.storedBits) / 8;
  const std::size_t kept = std::size_t(layout.bytesPerPixel);
  if (stored == 3 && kept == 3) return CopyBgrToRgb(from, to, width);
  if (kept == stored) {
    std::memcpy(to, from, width * kept);
    for (std::size_t i = 0; i < width * kept; i += kept) std::swap(to[i], to[i + 2]);
    return;
  }
  for (std::size_t x = 0; x < width; ++x, from += stored, to += 3) {
    to[0] = from[2];
    to[1] = from[1];
    to[2] = from[0];
  }
}

// One stored row (blue first, palette indices or 16-bit values) decoded.
void DecodeRow(const std::uint8_t* from, std::uint8_t* to, const Layout& layout,
               const std::uint8_t* palette) {
  const std::size_t width = std::size_t(layout.width);
  switch (layout.storedBits) {
    case 4:  // the high nibble is the left pixel
      for (std::size_t x = 0; x < width; ++x, to += 3)
        PaletteColour(palette, x % 2 == 0 ? from[x / 2] >> 4 : from[x / 2] & 15, to);
      return;
    case 8:
      for (std::size_t x = 0; x < width; ++x, to += 3) PaletteColour(palette, from[x], to);
      return;
    case 16:  // red in bits 10-14, green 5-9, blue 0-4
      for (std::size_t x = 0; x < width; ++x, to += 3) {
        const unsigned v = U16(from + 2 * x);
        to[0] = Widen5((v >> 10) & 31);
        to[1] = Widen5((v >> 5) & 31);
        to[2] = Widen5(v & 31);
      }
      return;
    default:
      TrueColourRow(from, to, layout);
  }
}

void SetSize(DecodedPicture& picture, const Layout& layout, RowOrder order) {
  picture.width = layout.width;
  picture.height = layout.height;
  picture.bytesPerPixel = layout.bytesPerPixel;
  picture.rowOrder = order;
}

// Rows arrive about 128 KiB at a time, one read call each, few enough to
// stay in the processor's cache while they are decoded.
int RowsPerBlock(std::uint64_t rowStride) {
  return static_cast<int>(std::max<std::uint64_t>(1, (std::uint64_t{128} << 10) / rowStride));
}

// A block of `count` rows read as stored, turned over when it lies upside
// down, and converted from blue first to red first.
void ConvertBlockInPlace(std::uint8_t* block, int count, std::size_t rowBytes, std::size_t width,
                         bool upsideDown) {
  auto row = [&](int i) { return block + std::size_t(i) * rowBytes; };
  if (upsideDown) {
    for (int a = 0, b = count - 1; a <= b; ++a, --b) ExchangeRowsBgrToRgb(row(a), row(b), width);
  } else {
    for (int a = 0; a < count; ++a) ExchangeRowsBgrToRgb(row(a), row(a), width);
  }
}

// 24-bit rows without padding (widths that are multiples of 4) are read
// straight into the picture: a block of file rows lands in the picture rows
// it belongs to, upside down when the top row comes first, and is turned
// over and converted in place while still in cache.
void ReadRowsInPlace(std::FILE* file, DecodedPicture& picture) {
  const std::size_t rowBytes = picture.RowBytes();
  const bool upsideDown = picture.rowOrder == RowOrder::kTopFirst;
  const int rowsPerBlock = RowsPerBlock(rowBytes);
  for (int fileRow = 0; fileRow < picture.height;) {
    const int count = std::min(rowsPerBlock, picture.height - fileRow);
    std::uint8_t* block = picture.RowFromBottom(upsideDown ? fileRow + count - 1 : fileRow);
    ReadOrZero(file, block, std::size_t(count) * rowBytes);
    ConvertBlockInPlace(block, count, rowBytes, std::size_t(picture.width), upsideDown);
    fileRow += count;
  }
}

// Other rows pass through a scratch block of whole stored rows.
void ReadRowsThrough(std::FILE* file, LargeArray<std::uint8_t>& scratch, const Layout& layout,
                     const std::uint8_t* palette, DecodedPicture& picture) {
  const int rowsPerBlock = static_cast<int>(scratch.size() / layout.rowStride);
  for (int fileRow = 0; fileRow < picture.height;) {
    const int count = std::min(rowsPerBlock, picture.height - fileRow);
    ReadOrZero(file, scratch.data(), std::size_t(count) * layout.rowStride);
    for (int i = 0; i < count; ++i)
      DecodeRow(scratch.data() + std::size_t(i) * layout.rowStride,
                picture.RowFromBottom(fileRow + i), layout, palette);
    fileRow += count;
  }
}

// With the file positioned at its pixel data: the picture decoded as it is
// read, the bytes a truncated file lacks taken as zero. Nothing fails once
// the picture's pixels are sized, so they may overwrite its old ones.
bool DecodeStreaming(std::FILE* file, const Layout& layout, const std::uint8_t* palette,
                     RowOrder order, DecodedPicture& picture) {
  const bool inPlace = layout.storedBits == 24 && layout.bytesPerPixel == 3 &&
                       layout.rowStride == std::uint64_t(layout.width) * 3;
  // A picture without pixels (no width or no rows) has no bytes to read,
  // however many rows or columns it claims.
  const bool empty = layout.pictureBytes == 0;
  LargeArray<std::uint8_t> scratch;
  if (!inPlace && !empty &&
      !ResizeForOverwrite(scratch, RowsPerBlock(layout.rowStride) * layout.rowStride))
    return false;
  if (!ResizeForOverwrite(picture.pixels, layout.pictureBytes)) return false;
  SetSize(picture, layout, order);
  if (empty) return true;
  if (inPlace) {
    ReadRowsInPlace(file, picture);
  } else {
    ReadRowsThrough(file, scratch, layout, palette, picture);
  }
  return true;
}

// With the file positioned at its pixel data: all of it read first (and
// handed back in `stored`), then decoded. Every step that can fail comes
// before the picture's pixels are touched.
bool DecodeWhole(std::FILE* file, const Layout& layout, const std::uint8_t* palette,
                 const BmpReadOptions& options, LargeArray<std::uint8_t>& stored,
                 DecodedPicture& picture) {
  if (!ResizeForOverwrite(stored, layout.storedBytes)) return false;
  if (!ReadOrZero(file, stored.data(), stored.size()) &&
      options.truncation == BmpTruncation::kRefuse)
    return false;
  if (!ResizeForOverwrite(picture.pixels, layout.pictureBytes)) return false;
  SetSize(picture, layout, options.rowOrder);
  // Rows of a zero-width picture hold nothing to decode, however many.
  for (int fileRow = 0; fileRow < layout.height && layout.width > 0; ++fileRow)
    DecodeRow(stored.data() + std::size_t(fileRow) * layout.rowStride,
              picture.RowFromBottom(fileRow), layout, palette);
  return true;
}

// A stream over the source: its file, or a read-only stream over its bytes.
std::FILE* OpenSource(const PictureSource& source) {
  if (!source.bytes) return OpenFile(source.path, "rb");
  if (source.bytes->empty()) return nullptr;
  return ::fmemopen(const_cast<std::uint8_t*>(source.bytes->data()), source.bytes->size(), "rb");
}

}  // namespace

bool ReadBmp(const PictureSource& source, const BmpReadOptions& options, DecodedPicture& picture,
             BmpFile& file) {
  FileCloser opened{OpenSource(source)};
  if (!opened.file) return false;
  const std::uint64_t fileBytes = FileSize(opened.file);
  std::uint8_t headers[kHeadersBytes];
  const bool whole = ReadOrZero(opened.file, headers, kHeadersBytes);
  if (U16(headers) != kMagic) {
    if (options.reportRefusals) Complain("ERROR: Unsupported BMP Header");
    return false;
  }
  if (!whole && options.truncation == BmpTruncation::kRefuse) return false;
  file.info = DecodeInfo(headers + 14);
  if (!Accepted(file.info.bitCount, options.depths)) {
    if (options.reportRefusals) Complain("ERROR: Unsupported BPP");
    return false;
  }
  Layout layout;
  if (file.info.width < 0 || file.info.height < 0 || !LayOut(file.info, options, layout))
    return false;
  // A header may claim far more pixels than the file holds. Missing bytes
  // may read as zero, but a claim beyond 64 times the file's size fails like
  // an allocation instead of zeroing hundreds of megabytes for a few bytes.
  if (options.truncation == BmpTruncation::kZeroFill &&
      layout.pictureBytes > 64 * fileBytes + (1u << 20))
    return false;
  std::vector<std::uint8_t> palette;
  if (!ReadPalette(opened.file, layout, options.truncation, palette)) return false;
  const std::uint64_t start = PixelDataStart(headers, layout, options.dataStart);
  // A file refused when short fails before anything is allocated for the
  // pixel data it claims.
  if (options.truncation == BmpTruncation::kRefuse &&
      layout.storedBytes > fileBytes - std::min(fileBytes, start))
    return false;
  if (!SeekTo(opened.file, start, options.truncation)) return false;

  LargeArray<std::uint8_t> stored;
  const bool decoded =
      options.keepStoredRows || options.truncation == BmpTruncation::kRefuse
          ? DecodeWhole(opened.file, layout, palette.data(), options, stored, picture)
          : DecodeStreaming(opened.file, layout, palette.data(), options.rowOrder, picture);
  if (!decoded) return false;
  file.rowStride = static_cast<std::uint32_t>(layout.rowStride);
  file.storedBytes = static_cast<std::uint32_t>(layout.storedBytes);
  file.paletteEntryCount = layout.paletteEntries;
  file.palette.swap(palette);
  if (options.keepStoredRows) file.storedRows.swap(stored);
  return true;
}
