#include "image/gradients.h"

#include <cstdio>

#include "image/filters.h"
#include "image/textures.h"

namespace {
void PrintLine(const char* text) {
  std::printf("%s\n", text);
  std::fflush(stdout);
}
}  // namespace

void ComputeGradientMaps(const MapFileTable& maps) {
  LoadAllMaps(maps);
  SourceImage.LoadFrom(maps[MAP_SOURCE]);
  BmpImage horizontal, vertical;
  if (ApplyFilter(SourceImage, horizontal, kFilterHorizontalSobel)) {
    PrintLine("\tSaving HORIZONTAL_SOBEL....");
    horizontal.Save("Textures/Sourcemap/Saved/SavedH.bmp");
  }
  if (ApplyFilter(SourceImage, vertical, kFilterVerticalSobel)) {
    PrintLine("\tSaving VERTICAL_SOBEL....");
    vertical.Save("Textures/Sourcemap/Saved/SavedV.bmp");
  }
  if (CombineGradients(vertical, horizontal, FilteredImage)) {
    PrintLine("\tSaving COMBINED_SOBEL....");
    FilteredImage.Save("Textures/Sourcemap/Saved/SavedHV.bmp");
    UploadImageTexture(FilteredImage, TEX_FILTERED);
  }
}
