#pragma once
// The pictures a stroke is drawn with, made into the plain colour maps that
// mesh files can carry.
//
// The main view textures a mesh on two units: the mesh map modulates the
// lit vertex colour, then the detail map, repeated eight times across one
// repeat of the mesh map, modulates that with a scale of 2. File formats
// have one colour map, so the two are baked into one picture covering one
// repeat of the mesh map: paint = min(1, mesh × detail × 2) per channel.
// The vertex colour still multiplies it in the viewer. (The main view
// clamps after the colour is applied, the bake before it; they differ only
// where mesh × detail × 2 exceeds 1 on a colour below 1.)

#include <cstdint>
#include <string>
#include <vector>

#include "image/texture_image.h"

struct MapPicture {
  int width = 0, height = 0, channels = 0;  // channels 3 (RGB) or 4 (RGBA)
  std::vector<std::uint8_t> pixels;         // top row first
};

// Reads a map file (letter case folded). An empty path reads nothing and
// succeeds: the map is left out. False, with `error` set, when a named file
// cannot be read.
bool ReadMapFile(const PictureSource& source, TextureImage* image, std::string* error);

// The baked paint map (RGB). Either map may be empty (no pixels): the mesh
// map then counts as white, and without a detail map there is no detail
// and no scale of 2. The picture is as wide as the finer of the two needs
// (mesh width, or 8 × detail width), at most 1024, likewise high; texel
// centres are sampled bilinearly with wrap-around, as GL_REPEAT and
// GL_LINEAR do. Both maps empty: an empty picture.
MapPicture BakePaintMap(const TextureImage& mesh, const TextureImage& detail);

// The particle sprite as the main view uploads it (RGBA): alpha 0 where
// R + G + B < 150, else 255. Empty when the map has no pixels.
MapPicture SpriteMap(const TextureImage& sprite);
