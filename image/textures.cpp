#include "image/textures.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "image/pixel_store.h"

namespace {

const char* const kDefaultMapFiles[MAP_SLOT_COUNT] = {
    "Textures/Meshmap/Bump.bmp",     "Textures/Partmap/Brush.bmp",
    "Textures/Partmap/Halo.bmp",     "Textures/Brush.bmp",
    "Textures/Heightmap/Height.bmp", "Textures/Spectrum.bmp",
    "Textures/Detailmap/papier1.bmp", "Textures/Papermap/Paper.bmp",
    "Textures/Grid.bmp",             "Textures/Sourcemap/Test.bmp",
};

int NearestPowerOfTwo(int side, int maximum) {
  const int s = side < maximum ? side : maximum;
  if (s <= 1) return 1;
  int k = static_cast<int>(std::log(static_cast<double>(s)) / std::log(2.0));
  const double below = std::pow(2.0, k), above = std::pow(2.0, k + 1);
  if (above - s < s - below) ++k;
  return static_cast<int>(std::pow(2.0, k));
}

void SetCommonParameters(unsigned int name, GLint minFilter) {
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

}  // namespace

const char* MapFolderOf(MapSlot slot) {
  switch (slot) {
    case MAP_MESH:
      return "meshmap/";
    case MAP_PARTICLE_BRUSH:
      return "partmap/";
    case MAP_HEIGHT:
      return "heightmap/";
    case MAP_DETAIL:
      return "detailmap/";
    case MAP_PAPER:
      return "papermap/";
    case MAP_SOURCE:
      return "sourcemap/";
    default:
      return nullptr;
  }
}

MapFileTable::MapFileTable() {
  for (int i = 0; i < MAP_SLOT_COUNT; ++i) files[i] = kDefaultMapFiles[i];
}

int ScaleToPowerOfTwo(TextureImage& image) {
  GLint maximum = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximum);
  if (maximum <= 0) maximum = 1024;  // no context: a size every GL accepts
  // An empty picture has nothing to rescale; it uploads as an empty texture.
  // So does a record lacking some of its pixels.
  if (image.rgbPixels.size() <
      std::size_t(std::max(image.width, 0)) * std::max(image.height, 0) * 3) {
    image.rgbPixels.clear();
    image.width = image.height = 0;
  }
  if (image.width <= 0 || image.height <= 0) return 1;
  const int newWidth = NearestPowerOfTwo(image.width, maximum);
  const int newHeight = NearestPowerOfTwo(image.height, maximum);
  if (newWidth == image.width && newHeight == image.height) return 1;
  LargeArray<std::uint8_t> scaled;
  try {
    scaled.resize(std::size_t(newWidth) * newHeight * 3);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  const PixelStoreScope tightRows;
  gluScaleImage(GL_RGB, image.width, image.height, GL_UNSIGNED_BYTE, image.rgbPixels.data(),
                newWidth, newHeight, GL_UNSIGNED_BYTE, scaled.data());
  image.rgbPixels.swap(scaled);
  image.width = newWidth;
  image.height = newHeight;
  return 1;
}

// GL takes the rows of a texture image bottom first, as the record holds them.
static_assert(TextureImage::kRowOrder == RowOrder::kBottomFirst);

int LoadTextureFile(TextureImage& image, const PictureSource& source, unsigned int name) {
  if (!image.Read(source) || !ScaleToPowerOfTwo(image) || image.width <= 0 || image.height <= 0) {
    image.Release();
    return 0;
  }
  const PixelStoreScope tightRows;
  SetCommonParameters(name, GL_LINEAR_MIPMAP_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.rgbPixels.data());
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE,
                    image.rgbPixels.data());
  return 1;
}

DecodedPicture RgbaWithAlphaRule(const TextureImage& image) {
  DecodedPicture rgba;
  rgba.bytesPerPixel = 4;
  rgba.rowOrder = TextureImage::kRowOrder;
  // An empty record, or one lacking some of its pixels, gives no pixels.
  if (image.width <= 0 || image.height <= 0) return rgba;
  const std::size_t pixels = std::size_t(image.width) * image.height;
  if (image.rgbPixels.size() < pixels * 3) return rgba;
  rgba.width = image.width;
  rgba.height = image.height;
  rgba.pixels.resize(pixels * 4);
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = &image.rgbPixels[i * 3];
    rgba.pixels[i * 4 + 0] = p[0];
    rgba.pixels[i * 4 + 1] = p[1];
    rgba.pixels[i * 4 + 2] = p[2];
    rgba.pixels[i * 4 + 3] = (p[0] + p[1] + p[2] < 150) ? 0 : 255;
  }
  return rgba;
}

void LoadAlphaMap(const PictureSource& source, unsigned int name) {
  TextureImage image;
  if (!image.Read(source) || !ScaleToPowerOfTwo(image)) image.Release();
  DecodedPicture rgba = RgbaWithAlphaRule(image);
  ArrangeRows(rgba, RowOrder::kBottomFirst);
  const PixelStoreScope tightRows;
  SetCommonParameters(name, GL_LINEAR);
  const bool empty = rgba.pixels.empty();
  glTexImage2D(GL_TEXTURE_2D, 0, 4, rgba.width, rgba.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               empty ? nullptr : rgba.pixels.data());
  image.Release();
}

bool UploadImageTexture(const Image& image, unsigned int name) {
  const PixelStoreScope tightRows;
  SetCommonParameters(name, GL_LINEAR_MIPMAP_LINEAR);
  // Only 24-bit pixels match the GL_RGB upload; anything else (or an empty
  // picture) defines an empty texture rather than reading past the pixels.
  const bool usable =
      image.BitsPerPixel() == 24 && image.HasAllPixels() && image.Width() > 0 && image.Height() > 0;
  const int width = usable ? image.Width() : 0, height = usable ? image.Height() : 0;
  const void* data = usable ? image.Data() : nullptr;
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, data);
  if (usable) gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, data);
  return true;
}

void LoadAllMaps(const MapFileTable& maps) {
  const struct {
    MapSlot slot;
    unsigned int name;
  } files[] = {{MAP_SPECTRUM, TEX_SPECTRUM}, {MAP_PAPER, TEX_PAPER}, {MAP_GRID, TEX_GRID},
               {MAP_MESH, TEX_MESH},         {MAP_HEIGHT, TEX_HEIGHT}, {MAP_DETAIL, TEX_DETAIL}};
  for (const auto& file : files) {
    TextureImage image;
    LoadTextureFile(image, maps[file.slot], file.name);
    image.Release();
  }
  LoadAlphaMap(maps[MAP_BRUSH], TEX_BRUSH);
  LoadAlphaMap(maps[MAP_PARTICLE_BRUSH], TEX_PARTICLE_BRUSH);
  LoadAlphaMap(maps[MAP_PARTICLE_HALO], TEX_PARTICLE_HALO);
}
