#include "document/picture_check.h"

#include <algorithm>
#include <cstring>

#include "image/image.h"

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;  // the smallest info header with these fields
constexpr std::uint32_t kUncompressed = 0;    // BI_RGB
constexpr std::uint32_t kBitFields = 3;       // BI_BITFIELDS: masks, pixels still plain

std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t U16At(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

bool DepthRead(std::uint16_t bits, BmpUse use) {
  if (bits == 24 || bits == 32) return true;
  return use == BmpUse::kMap && (bits == 4 || bits == 8 || bits == 16);
}

std::string BmpProblem(const Bytes& bmp, BmpUse use) {
  if (bmp.size() < kFileHeaderBytes + kInfoHeaderBytes || bmp[0] != 'B' || bmp[1] != 'M')
    return "is not a BMP picture";
  const std::uint32_t dataOffset = U32At(bmp, 10);
  const std::uint32_t infoBytes = U32At(bmp, 14);
  const std::int32_t width = static_cast<std::int32_t>(U32At(bmp, 18));
  const std::int32_t height = static_cast<std::int32_t>(U32At(bmp, 22));
  const std::uint16_t bits = U16At(bmp, 28);
  const std::uint32_t compression = U32At(bmp, 30);
  const std::uint32_t coloursUsed = U32At(bmp, 46);
  if (infoBytes < kInfoHeaderBytes) return "has a BMP header of a kind the painter does not read";
  if (!DepthRead(bits, use))
    return "is a " + std::to_string(bits) + "-bit BMP; the painter reads " +
           (use == BmpUse::kMap ? "4, 8, 16, 24 and 32 bits here" : "24 and 32 bits here");
  if (compression != kUncompressed && !(compression == kBitFields && bits >= 16))
    return "is a compressed BMP; the painter reads uncompressed ones";
  // Rows run bottom-up with a positive height; the painter's readers take
  // no top-down pictures.
  if (width <= 0 || height <= 0)
    return "is a BMP of " + std::to_string(width) + " × " + std::to_string(height) + " pixels";
  const std::uint64_t rgbBytes = std::uint64_t(width) * std::uint64_t(height) * (bits <= 24 ? 3 : 4);
  if (rgbBytes > kMaxImageBytes)
    return "claims " + std::to_string(rgbBytes) + " bytes of pixels, more than " +
           std::to_string(kMaxImageBytes);
  // A palette picture's colours follow the headers; its pixels start there
  // or further on, where the file header says.
  const std::uint64_t paletteBytes =
      bits <= 8 ? 4 * std::uint64_t(coloursUsed != 0 ? coloursUsed : 1u << bits) : 0;
  const std::uint64_t afterPalette = kFileHeaderBytes + infoBytes + paletteBytes;
  const std::uint64_t start = std::max<std::uint64_t>(dataOffset, bits <= 8 ? afterPalette : 0);
  const std::uint64_t rowBytes = (std::uint64_t(width) * bits + 31) / 32 * 4;
  if (dataOffset < kFileHeaderBytes + infoBytes || afterPalette > bmp.size() ||
      start + rowBytes * std::uint64_t(height) > bmp.size())
    return "is a BMP whose pixels are not all there";
  return "";
}

std::string PngProblem(const Bytes& png) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < sizeof kSignature || std::memcmp(png.data(), kSignature, sizeof kSignature))
    return "is not a PNG picture";
  return "";
}
