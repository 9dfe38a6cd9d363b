#pragma once
// The ten fixed texture names shared by every window's GL context, the table
// of map files they are loaded from, and the upload routines. Every routine
// acts on the CURRENT GL context: make the window current first.

#include <cstdint>
#include <string>

#include "image/decoded_picture.h"
#include "image/image.h"
#include "image/picture_source.h"
#include "image/texture_image.h"

constexpr unsigned int TEX_MESH = 4;
constexpr unsigned int TEX_PARTICLE_BRUSH = 5;
constexpr unsigned int TEX_PARTICLE_HALO = 6;
constexpr unsigned int TEX_DETAIL = 7;
constexpr unsigned int TEX_HEIGHT = 8;
constexpr unsigned int TEX_SPECTRUM = 9;
constexpr unsigned int TEX_PAPER = 10;
constexpr unsigned int TEX_BRUSH = 11;
constexpr unsigned int TEX_GRID = 12;
constexpr unsigned int TEX_FILTERED = 13;

// Slots of the map-file table.
enum MapSlot {
  MAP_MESH,
  MAP_PARTICLE_BRUSH,
  MAP_PARTICLE_HALO,
  MAP_BRUSH,
  MAP_HEIGHT,
  MAP_SPECTRUM,
  MAP_DETAIL,
  MAP_PAPER,
  MAP_GRID,
  MAP_SOURCE,
  MAP_SLOT_COUNT
};

// The folder below the texture root ("textures/") that holds the maps a
// person may choose for `slot` ("meshmap/", with its final slash); nullptr
// for the slots whose map never changes (brush, halo, spectrum, grid).
const char* MapFolderOf(MapSlot slot);

// The map file of every slot: paths relative to the working directory
// (letter case is folded when a file is opened), at first the start-up
// maps of the data set. A slot may hold the map's bytes too, as a painting
// brought them: the map is then read from those, and the file's name stays
// to say which map it is.
struct MapFileTable {
  MapFileTable();
  // Where the slot's map is read from.
  PictureSource operator[](MapSlot slot) const { return PictureSource{files[slot], embedded[slot]}; }
  std::string files[MAP_SLOT_COUNT];
  std::shared_ptr<const std::vector<std::uint8_t>> embedded[MAP_SLOT_COUNT];
};

// Rounds each side to the nearer power of two (ties to the smaller), capped
// at GL_MAX_TEXTURE_SIZE, rescaling with gluScaleImage. 0 if out of memory.
int ScaleToPowerOfTwo(TextureImage& image);
// Read + scale + upload with mipmaps. 1 on success; on failure the texture
// keeps what it held and the record is released.
int LoadTextureFile(TextureImage& image, const PictureSource& source, unsigned int name);
// RGBA upload: alpha 0 where R + G + B < 150, else 255. A missing file
// defines an empty texture.
void LoadAlphaMap(const PictureSource& source, unsigned int name);
// The RGBA pixels LoadAlphaMap uploads: alpha 0 where R + G + B < 150, rows
// in the record's order. No pixels for a record lacking some of its own.
DecodedPicture RgbaWithAlphaRule(const TextureImage& image);
// Uploads a 24-bit Image (top row first) with mipmaps; always true.
bool UploadImageTexture(const Image& image, unsigned int name);
// Loads textures 4 to 12 from the table into the current context.
void LoadAllMaps(const MapFileTable& maps);
