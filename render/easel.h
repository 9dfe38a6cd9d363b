#pragma once
// The easel: the paper square (x and y from −1 to 1) on a stand of four
// legs above a grid floor at y = −2.5. The main view stands it behind the
// strokes; the Camera panel's picture of the scene shows a smaller copy.
// Both draw it here, each with its own look.

struct EaselLook {
  float paperRepeat;    // paper map repeats across the square
  float paperZ;         // the paper's plane
  float legWidth;       // line width of the legs, in pixels
  float floorHalfSide;  // the grid floor runs from −half to half in x and z
  // Texture coordinates start at the (+x, +y) corner of the paper and the
  // (+x, +z) corner of the floor instead of the negative ones: the map
  // seen turned half a turn.
  bool turned;
};

// The main view's easel: the paper repeated ten times just behind the
// canvas plane, thick legs, a wide floor, the maps turned.
constexpr EaselLook kMainViewEasel{10.0f, -0.01f, 5.0f, 3.0f, true};
// The Camera panel's model: the paper once, in the canvas plane.
constexpr EaselLook kCameraPanelEasel{1.0f, 0.0f, 3.0f, 2.0f, false};

// Leaves texturing off, the colour white and the line width 1.
void DrawEasel(const EaselLook& look);
