#include "document/picture_check.h"

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

std::string BmpProblem(const Bytes& bmp) {
  if (bmp.size() < kFileHeaderBytes + kInfoHeaderBytes || bmp[0] != 'B' || bmp[1] != 'M')
    return "is not a BMP picture";
  const std::uint32_t dataOffset = U32At(bmp, 10);
  const std::uint32_t infoBytes = U32At(bmp, 14);
  const std::int32_t width = static_cast<std::int32_t>(U32At(bmp, 18));
  const std::int32_t height = static_cast<std::int32_t>(U32At(bmp, 22));
  const std::uint16_t bits = U16At(bmp, 28);
  const std::uint32_t compression = U32At(bmp, 30);
  if (infoBytes < kInfoHeaderBytes) return "has a BMP header of a kind the painter does not read";
  if (bits != 24 && bits != 32)
    return "is a " + std::to_string(bits) + "-bit BMP; the painter reads 24 and 32 bits";
  if (compression != kUncompressed && !(compression == kBitFields && bits == 32))
    return "is a compressed BMP; the painter reads uncompressed ones";
  // Rows run bottom-up with a positive height; the painter's readers take
  // no top-down pictures.
  if (width <= 0 || height <= 0)
    return "is a BMP of " + std::to_string(width) + " × " + std::to_string(height) + " pixels";
  const std::uint64_t rowBytes = (std::uint64_t(width) * (bits / 8) + 3) & ~std::uint64_t{3};
  const std::uint64_t pixelBytes = std::uint64_t(width) * std::uint64_t(height) * (bits / 8);
  if (pixelBytes > kMaxImageBytes)
    return "claims " + std::to_string(pixelBytes) + " bytes of pixels, more than " +
           std::to_string(kMaxImageBytes);
  if (dataOffset < kFileHeaderBytes + infoBytes ||
      std::uint64_t(dataOffset) + rowBytes * std::uint64_t(height) > bmp.size())
    return "is a BMP whose pixels are not all there";
  return "";
}

std::string PngProblem(const Bytes& png) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < sizeof kSignature || std::memcmp(png.data(), kSignature, sizeof kSignature))
    return "is not a PNG picture";
  return "";
}
