// Paintings for the install tests, saved by the document library as the
// painter saves them (an empty canvas; the tests look at the file's type
// and its thumbnail):
//   make_test_painting FILE WIDTH HEIGHT   a thumbnail of WIDTH × HEIGHT,
//                                          its left half red, its right half blue
//   make_test_painting FILE none           no thumbnail

#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/document.h"
#include "export/png.h"

namespace {

Bytes RedAndBlueHalves(int width, int height) {
  std::vector<std::uint8_t> rgb(std::size_t(width) * height * 3, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      rgb[(std::size_t(y) * width + x) * 3 + (x < width / 2 ? 0 : 2)] = 255;
  return EncodePng8(width, height, 3, rgb);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc > 2 ? argv[2] : "";
  Painting painting;
  if (argc == 4) painting.thumbnail = RedAndBlueHalves(std::atoi(argv[2]), std::atoi(argv[3]));
  if (argc == 4 ? painting.thumbnail.empty() : argc != 3 || kind != "none") {
    std::fprintf(stderr, "usage: make_test_painting FILE (WIDTH HEIGHT | none)\n");
    return 2;
  }
  std::string error;
  if (!SavePainting(argv[1], painting, error)) std::fprintf(stderr, "%s\n", error.c_str());
  return error.empty() ? 0 : 1;
}
