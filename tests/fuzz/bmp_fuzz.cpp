// libFuzzer target: BmpImage::Load on arbitrary bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "image/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/kelvra_fuzz_bmp_" + std::to_string(::getpid()) + ".bmp";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::FILE* silence = std::freopen("/dev/null", "w", stdout);  // the reader's error lines
  (void)silence;
  BmpImage image;
  if (image.Load(path) && image.Data()) {
    volatile std::uint8_t sink = image.Data()[std::size_t(image.Width()) * image.Height() * (image.BitsPerPixel() / 8) - 1];
    (void)sink;
  }
  return 0;
}
