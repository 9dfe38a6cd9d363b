#pragma once
// The four panels, made once per test program as the program makes them,
// over a scratch texture root whose browsable folders hold one BMP name
// each (and a file the menus skip); the menu root is "textures/" again
// afterwards.

#include "image/image.h"

void CreatePanelsOnce();
// Every application variable back to its start value but the windows'
// ids, which belong to the windows made once.
void ResetPanelState();
bool SamePixels(const BmpImage& a, const BmpImage& b);
