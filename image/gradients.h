#pragma once
// Start-up work on the source image: loads the map textures of `maps` into
// the current (main) window, loads SourceImage from the source slot, saves the horizontal, vertical
// and combined Sobel maps under Textures/Sourcemap/Saved/ and uploads the combined map into
// FilteredImage and TEX_FILTERED.
#include "image/textures.h"

void ComputeGradientMaps(const MapFileTable& maps);
