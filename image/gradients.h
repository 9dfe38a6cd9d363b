#pragma once
// The gradient maps of a source picture, made at every start: the
// horizontal, vertical and combined Sobel responses, each saved under
// Textures/Sourcemap/Saved/ with its console line.
#include "image/image.h"

// `filtered` takes the combined map; false, with `filtered` as it was,
// when `source` cannot be filtered (no 24-bit picture).
bool SaveGradientMaps(const BmpImage& source, BmpImage& filtered);
