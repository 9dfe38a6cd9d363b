#include "tests/support/height_map.h"

#include "image/textures.h"

HeightMap ReadDefaultHeightMap() {
  TextureImage image;
  HeightMap map;
  if (!image.Read("textures/heightmap/Height.bmp") || !ScaleToPowerOfTwo(image)) return map;
  map.width = image.width;
  map.height = image.height;
  map.rgb.swap(image.rgbPixels);
  return map;
}

const BuildHooks& HeadlessBuildHooks() {
  static const BuildHooks hooks{ReadDefaultHeightMap, nullptr};
  return hooks;
}
