// kelvra-thumbnailer INPUT OUTPUT SIZE: the picture a file manager shows
// for a painting (packaging/kelvra.thumbnailer names it for them). The
// thumbnail the painting carries, fitted into SIZE × SIZE, written into
// OUTPUT as a PNG, whole or not at all. When it cannot, it says why on
// one line of stderr, naming the file, writes nothing and exits non-zero:
// the file manager then shows the type's icon.

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/document.h"
#include "export/png.h"
#include "image/rgba_picture.h"

namespace {

constexpr char kUsage[] = "usage: kelvra-thumbnailer INPUT.kelvra OUTPUT.png SIZE";

// The painter's thumbnails are 256 pixels a side at most. A picture of
// more pixels than this is no thumbnail of ours but a file made to use up
// the memory of the file manager's helper: 4096 × 4096 decode to 64 MiB.
constexpr std::uint64_t kMostThumbnailPixels = 4096ull * 4096;

// The line on stderr, kept one line whatever characters a file name holds.
int Fail(std::string line) {
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  std::fprintf(stderr, "kelvra-thumbnailer: %s\n", line.c_str());
  return 1;
}

// SIZE as a whole number from 1 up, or 0 when it is not one.
int SizeOf(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long size = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || size < 1 || size > INT_MAX) return 0;
  return static_cast<int>(size);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Fail(kUsage);
  const std::string input = argv[1], output = argv[2];
  const int size = SizeOf(argv[3]);
  if (size == 0) return Fail("SIZE " + std::string(argv[3]) + " is not a whole number from 1 up");
  Bytes png;
  std::string error;
  if (!ReadThumbnail(input, png, error)) return Fail(error);
  RgbaPicture picture;
  if (!DecodePng(png, kMostThumbnailPixels, picture, error)) return Fail(input + ": " + error);
  const RgbaPicture fitted = FitWithin(picture, size);
  if (!WritePng8(output, fitted.width, fitted.height, 4, fitted.pixels, &error)) return Fail(error);
  return 0;
}
