// libFuzzer target: TextureImage::Read on arbitrary bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "image/texture_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/kelvra_fuzz_tex_" + std::to_string(::getpid()) + ".bmp";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  TextureImage image;
  if (image.Read(path.c_str()) && !image.rgbPixels.empty()) {
    volatile std::uint8_t sink = image.rgbPixels.back();
    (void)sink;
  }
  return 0;
}
