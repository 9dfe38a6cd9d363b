#pragma once
// Read-back of main-view pixels, in OpenGL window coordinates (origin at the
// bottom-left), from the back buffer of the current window, which holds the
// last frame drawn. Bounds are those of the main window size in the
// application state.

#include <vector>

#include "common/vec4.h"

// One colour channel (0 red, 1 green, 2 blue) of a main-view pixel, scaled
// to 0..255; −1 outside the view, 0 for any other channel number.
float ReadPixelChannel(int x, int y, int channel);

// Red, green and blue of a main-view pixel in 0..1 with w = 0; all four −1
// outside the view. rowLength is the pack row length used for the read.
Vec4 ReadPixelColour(int x, int y, int rowLength);

// Reads the whole back buffer of the current window (width × height) into
// `rgb` with one glReadPixels: three floats in 0..1 per pixel, rows
// bottom-up.
void ReadFrame(int width, int height, std::vector<float>& rgb);
