#pragma once
// What the main view shows besides the strokes themselves: plain values a
// painting keeps, so that documents reach them without the drawing code.

#include "common/settings_list.h"

// How stroke meshes are rasterised: 0 draws points, otherwise a polygon mode
// (GL_LINE or GL_FILL) for triangles.
constexpr unsigned int kPolygonModeLine = 0x1B01;
constexpr unsigned int kPolygonModeFill = 0x1B02;

// The switches of what the main view draws: the Camera panel's four
// checkboxes and the Stroke panel's "N". Ints holding 0 or 1, so GLUI
// checkboxes bind to them.
#define DISPLAY_TOGGLES(FIELD)                                                           \
  FIELD(int, lightOn, 1, kFlag)   /* stroke meshes lit */                                \
  FIELD(int, paperOn, 0, kFlag)   /* the filtered source, not the easel; white cursor */ \
  FIELD(int, axesOn, 0, kFlag)    /* the axes */                                         \
  FIELD(int, cursorOn, 1, kFlag)  /* the program's own brush cursor */                   \
  FIELD(int, showNodes, 0, kFlag) /* every committed stroke's path points */

struct DisplayToggles {
  DISPLAY_TOGGLES(SETTING_MEMBER)
};
SETTINGS_VISITOR(DisplayToggles, DISPLAY_TOGGLES)
