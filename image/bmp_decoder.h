#pragma once
// The one reader of uncompressed Windows BMP files. Its two front ends ask
// different things of a file, and each difference is an option here:
// BmpImage::Load (pictures processed on the CPU and written back) and
// TextureImage::Read (pictures fed to textures).

#include <cstdint>
#include <string>
#include <vector>

#include "common/large_array.h"
#include "image/decoded_picture.h"
#include "image/picture_source.h"

// The 40-byte info header as stored.
struct BmpInfoHeader {
  std::uint32_t headerSize = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::int32_t xPixelsPerMetre = 0;
  std::int32_t yPixelsPerMetre = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
};

// The bit counts a read takes.
enum class BmpDepths {
  // 24 bits and more, each pixel bitCount / 8 whole bytes, blue first.
  kTrueColour,
  // 4 and 8 bits through the palette, 16 bits (5 bits a channel), 24 and 32.
  // Palette and 16-bit pixels become R, G, B.
  kStandard,
};

// What a file that ends early (in its headers, palette or pixel data) gives.
enum class BmpTruncation {
  // The missing bytes read as zero: the rows the file holds are kept.
  kZeroFill,
  // Nothing: the read fails before any pixel is decoded.
  kRefuse,
};

// Where the pixel data is taken to start.
enum class BmpDataStart {
  // At the offset the file header gives, wherever that is.
  kFileHeaderOffset,
  // Right after the headers and palette, or at the file header's offset
  // when that lies further on.
  kAfterPalette,
};

struct BmpReadOptions {
  RowOrder rowOrder;
  BmpDepths depths;
  // Bytes of a true-colour pixel past blue, green and red (the fourth of a
  // 32-bit pixel): kept in place, or dropped so every pixel is R, G, B.
  bool keepExtraBytes;
  BmpTruncation truncation;
  BmpDataStart dataStart;
  // A missing "BM" prints "ERROR: Unsupported BMP Header", a bit count the
  // depths leave out "ERROR: Unsupported BPP"; other failures are silent.
  bool reportRefusals;
  // The pixel data as stored is handed back besides the picture, as many
  // bytes as the info header's image size names when that covers more
  // than the rows (and stays within kMaxImageBytes).
  bool keepStoredRows;
};

// What a read learned of the file besides its picture.
struct BmpFile {
  BmpInfoHeader info;             // set as soon as it is read, even if the read fails later
  std::uint32_t rowStride = 0;    // bytes a stored row takes, padding included
  std::uint32_t storedBytes = 0;  // bytes of pixel data read
  std::uint32_t paletteEntryCount = 0;
  std::vector<std::uint8_t> palette;    // 4 bytes an entry (blue, green, red, reserved)
  LargeArray<std::uint8_t> storedRows;  // with keepStoredRows: the pixel data as stored
};

// Reads the file (or bytes) of `source` into `picture`, rows in
// options.rowOrder. False when the file cannot be opened, is refused or
// cannot be held; `picture` is then exactly as it was. `picture`'s pixel
// block is reused when it is large enough. `file` receives what was read of
// the file's layout; its palette and stored rows only when the read
// succeeds.
bool ReadBmp(const PictureSource& source, const BmpReadOptions& options, DecodedPicture& picture,
             BmpFile& file);
