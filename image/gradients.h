#pragma once
// Start-up work on the source image: loads the map textures into the current
// (main) window, loads SourceImage, saves the horizontal, vertical and
// combined Sobel maps under Textures/Sourcemap/Saved/ and uploads the
// combined map into FilteredImage and TEX_FILTERED.
void ComputeGradientMaps();
