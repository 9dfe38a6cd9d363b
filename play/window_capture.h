#pragma once
// A window's picture as a person sees it, read back from its frames.

#include <cstdint>
#include <vector>

// The picture of a window as a person sees it: the window with its control
// subwindows, freshly drawn; width × height × 3 bytes, top row first.
bool ReadWindowPicture(int window, int* width, int* height, std::vector<std::uint8_t>* rgb);
