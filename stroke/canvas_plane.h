#pragma once
// Window pixels on the canvas plane. Painted nodes are not unprojected
// through the camera: the pointer's place in the view, from −1 to 1 across
// and up, is the node's x and y on the plane z = 0. With the start-up
// camera that square nearly fills the view, so nodes land under the
// pointer.

#include "common/vec4.h"

// A pixel as GLUT reports it (origin top-left) in a width × height window:
// (2·x/W − 1, 1 − 2·y/H, 0, 0).
inline Vec4 CanvasPointOfPixel(int x, int y, int width, int height) {
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  return Vec4(2.0f * x / w - 1.0f, 1.0f - 2.0f * y / h, 0.0f, 0.0f);
}

// A pixel in OpenGL window coordinates (origin bottom-left), as the
// auto-trace reads the frame: (2·x/W − 1, 2·y/H − 1, 0, 0).
inline Vec4 CanvasPointOfGlPixel(int x, int y, int width, int height) {
  return Vec4(2.0f * x / width - 1.0f, 2.0f * y / height - 1.0f, 0.0f, 0.0f);
}
