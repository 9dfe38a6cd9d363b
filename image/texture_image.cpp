#include "image/texture_image.h"

#include <algorithm>
#include <cstdio>

#include "image/image.h"
#include "image/pixel_rows.h"
#include "platform/files.h"

namespace {

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

bool Supported(std::uint32_t bits) {
  return bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

// 5-bit channel widened to 0..255 so 16-bit maps look like their 24-bit
// counterparts instead of nearly black.
std::uint8_t Widen5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }

}  // namespace

void TextureImage::Reset() {
  rawPixels.clear();
  rawPixels.shrink_to_fit();
  palette.clear();
  palette.shrink_to_fit();
  rgbPixels.clear();
  rgbPixels.shrink_to_fit();
  imageByteCount = rowStride = paletteEntryCount = bitCount = 0;
  width = height = 0;
}

int TextureImage::Read(const char* path) {
  // Whatever happens below, the record holds no size without its pixels.
  Reset();
  FileCloser file{OpenFile(path ? path : "", "rb")};
  if (!file.file) return 0;
  std::uint8_t fileHeader[14];
  if (std::fread(fileHeader, 14, 1, file.file) != 1 || U16(fileHeader) != 0x4D42) return 0;
  std::uint8_t infoBytes[40];
  if (std::fread(infoBytes, 40, 1, file.file) != 1) {
    Reset();
    return 0;
  }
  info = DecodeInfo(infoBytes);
  long position = 14 + 40;
  // Longer info headers (V4, V5) put the palette after the whole header.
  if (info.headerSize > 40 && info.headerSize <= 1024) {
    if (std::fseek(file.file, info.headerSize - 40, SEEK_CUR) != 0) {
      Reset();
      return 0;
    }
    position = 14 + info.headerSize;
  }
  // Only the bit counts we can convert are accepted: a 1-bit or odd-sized
  // file would otherwise succeed with garbage pixels.
  if (!Supported(info.bitCount) || info.width < 0) {
    Reset();
    return 0;
  }
  // Pictures stored top-down (negative height) are not drawn by this
  // program's maps; they convert no rows, like an empty picture.
  const std::uint64_t w = static_cast<std::uint64_t>(info.width);
  const std::uint64_t h = info.height > 0 ? static_cast<std::uint64_t>(info.height) : 0;
  const std::uint64_t stride = ((info.bitCount * w + 31) / 32) * 4;
  // Divisions, not products, so that no size claim can overflow the test.
  if (h > 0 && (stride > kMaxImageBytes / h || w > kMaxImageBytes / (3 * h))) {
    Reset();
    return 0;
  }
  // The pixel data must be in the file: a header claiming more than the
  // file holds fails before anything is allocated for it.
  const long here = std::ftell(file.file);
  std::fseek(file.file, 0, SEEK_END);
  const std::uint64_t fileBytes = static_cast<std::uint64_t>(std::max(0L, std::ftell(file.file)));
  std::fseek(file.file, here, SEEK_SET);
  if (stride * h > fileBytes) {
    Reset();
    return 0;
  }
  rowStride = static_cast<std::uint32_t>(stride);
  // The stated image size is trusted only when it covers every row; a
  // smaller one would leave the conversion reading past the buffer.
  imageByteCount = static_cast<std::uint32_t>(stride * h);
  if (info.imageSize > imageByteCount && info.imageSize <= kMaxImageBytes)
    imageByteCount = info.imageSize;

  if (info.bitCount < 16) {
    const std::uint32_t maxEntries = 1u << info.bitCount;
    // More entries than the bit count can index would only waste the read;
    // fewer are honoured, and indices past them read as black.
    paletteEntryCount =
        info.coloursUsed != 0 && info.coloursUsed < maxEntries ? info.coloursUsed : maxEntries;
    palette.assign(std::size_t(maxEntries) * 4, 0);
    if (std::fread(palette.data(), 4, paletteEntryCount, file.file) != paletteEntryCount) {
      Reset();
      return 0;
    }
  }
  position += static_cast<long>(paletteEntryCount) * 4;
  // The pixel data starts where the file header says when that lies past
  // the palette: files written with a gap (offset 56) read true colours.
  const long dataOffset = static_cast<long>(U32(fileHeader + 10));
  if (dataOffset > position && std::fseek(file.file, dataOffset, SEEK_SET) != 0) {
    Reset();
    return 0;
  }
  // Nor is anything allocated for a stated image size the file cannot hold.
  const long start = std::ftell(file.file);
  if (start < 0 || imageByteCount > fileBytes - std::min<std::uint64_t>(fileBytes, start)) {
    Reset();
    return 0;
  }
  rawPixels.resize(imageByteCount);
  if (imageByteCount &&
      std::fread(rawPixels.data(), 1, imageByteCount, file.file) != imageByteCount) {
    Reset();
    return 0;
  }

  width = info.width;
  height = static_cast<int>(h);
  bitCount = info.bitCount;
  rgbPixels.resize(w * h * 3);  // every byte is written below
  // Rows of a zero-width picture hold nothing to convert, however many.
  for (std::uint64_t row = 0; row < h && w > 0; ++row) {
    const std::uint8_t* src = rawPixels.data() + row * stride;
    std::uint8_t* dst = rgbPixels.data() + row * w * 3;
    if (bitCount == 24) {  // the common case, kept free of per-pixel branching
      CopyBgrToRgb(src, dst, w);
      continue;
    }
    for (std::uint64_t x = 0; x < w; ++x, dst += 3) {
      switch (bitCount) {
        case 4:
        case 8: {
          const unsigned index =
              bitCount == 8 ? src[x] : (x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 15);
          const std::uint8_t* entry = palette.data() + index * 4;
          dst[0] = entry[2];
          dst[1] = entry[1];
          dst[2] = entry[0];
          break;
        }
        case 16: {
          const unsigned v = U16(src + 2 * x);
          dst[0] = Widen5((v >> 10) & 31);
          dst[1] = Widen5((v >> 5) & 31);
          dst[2] = Widen5(v & 31);
          break;
        }
        default: {
          const std::uint8_t* p = src + x * (bitCount / 8);
          dst[0] = p[2];
          dst[1] = p[1];
          dst[2] = p[0];
        }
      }
    }
  }
  return 1;
}
