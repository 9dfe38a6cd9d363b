#include "tests/support/height_map.h"

#include "image/textures.h"

HeightMap ReadDefaultHeightMap() {
  TextureImage image;
  if (!image.Read("textures/heightmap/Height.bmp") || !ScaleToPowerOfTwo(image)) return HeightMap();
  return image.TakePicture();
}

const BuildHooks& HeadlessBuildHooks() {
  static const BuildHooks hooks{ReadDefaultHeightMap, nullptr};
  return hooks;
}
