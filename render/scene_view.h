#pragma once
// What one picture of the main view shows, as one value: the scene pass
// draws from it and nothing else, so two equal views draw the same pixels.

#include <cstdint>

#include "stroke/stroke.h"

// How stroke meshes are rasterised: 0 draws points, otherwise a polygon mode
// (GL_LINE or GL_FILL) for triangles.
constexpr unsigned int kPolygonModeLine = 0x1B01;
constexpr unsigned int kPolygonModeFill = 0x1B02;

// The switches of what the main view draws: the Camera panel's four
// checkboxes and the Stroke panel's "N". Ints holding 0 or 1, so GLUI
// checkboxes bind to them.
struct DisplayToggles {
  int lightOn = 1;    // stroke meshes lit
  int paperOn = 0;    // the filtered source image instead of the easel; white cursor
  int axesOn = 0;     // the axes
  int cursorOn = 1;   // the program's own brush cursor
  int showNodes = 0;  // every committed stroke's path points
};

struct SceneView {
  const Canvas* canvas = nullptr;  // the stroke being painted and the committed ones
  DisplayToggles display;
  unsigned int primitiveMode = kPolygonModeFill;
  int selectedStroke = 0;  // 1-based; its bounds are outlined; 0 = none
  Vec4 cursorPosition;     // on the canvas plane, z = w = 0
};
