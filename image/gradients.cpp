#include "image/gradients.h"

#include "common/progress.h"
#include "image/filters.h"

bool SaveGradientMaps(const BmpImage& source, BmpImage& filtered) {
  BmpImage horizontal, vertical;
  if (ApplyFilter(source, horizontal, kFilterHorizontalSobel)) {
    PrintLine("\tSaving HORIZONTAL_SOBEL....");
    horizontal.Save("Textures/Sourcemap/Saved/SavedH.bmp");
  }
  if (ApplyFilter(source, vertical, kFilterVerticalSobel)) {
    PrintLine("\tSaving VERTICAL_SOBEL....");
    vertical.Save("Textures/Sourcemap/Saved/SavedV.bmp");
  }
  if (!CombineGradients(vertical, horizontal, filtered)) return false;
  PrintLine("\tSaving COMBINED_SOBEL....");
  filtered.Save("Textures/Sourcemap/Saved/SavedHV.bmp");
  return true;
}
