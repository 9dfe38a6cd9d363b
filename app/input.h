#pragma once
// Input of the main view: painting with the left button, picking with the
// middle button, the arrow keys that step the selection, the keyboard
// (camera, auto-trace, exit), and the read-back of main-view pixels.
//
// Coordinates: GLUT callbacks get pixels with the origin at the top-left;
// PickStroke, the tracer and the pixel reads use OpenGL window coordinates
// with the origin at the bottom-left.

#include <functional>
#include <vector>

#include "common/vec4.h"

// ---- GLUT callbacks of the main window ----------------------------------------
void OnMouse(int button, int state, int x, int y);
void OnMotion(int x, int y);
void OnPassiveMotion(int x, int y);
void OnKeyboard(unsigned char key, int x, int y);
void OnSpecialKey(int key, int x, int y);

// Hides the system cursor over the main view and stores the pointer on the
// canvas plane: (2·x/W − 1, 1 − 2·y/H, 0, 0), W × H the main window size.
void SetCursorPosition(int x, int y);

// Selects the nearest stroke drawn within 50 × 50 pixels of (x, y) into
// SelectedStroke; leaves it unchanged when nothing (or too much) is hit.
void PickStroke(int x, int y);

// Turns the bright regions of the rendered main view into strokes: one
// committed stroke per lattice position (see TraceBrightRegions).
void AutoTrace();

// One colour channel (0 red, 1 green, 2 blue) of a main-view pixel, scaled
// to 0..255; −1 outside the view, 0 for any other channel number.
float ReadPixelChannel(int x, int y, int channel);

// Red, green and blue of a main-view pixel in 0..1 with w = 0; all four −1
// outside the view. rowLength is the pack row length used for the read.
Vec4 ReadPixelColour(int x, int y, int rowLength);

// ---- The auto-trace fill, free of GL so it can run on any frame -------------------

// A pixel of the trace lattice, in OpenGL window coordinates.
struct LatticePoint {
  int x = 0, y = 0;
  bool operator==(const LatticePoint& o) const { return x == o.x && y == o.y; }
};

// Reads one channel of one pixel scaled to 0..255, −1 outside the frame, as
// ReadPixelChannel does.
using PixelChannelReader = std::function<float(int x, int y, int channel)>;

// The lattice spacing of the trace, in pixels.
constexpr int kTraceStep = 10;

// Scans the lattice x = 0, 10, … < width (outer), y = 0, 10, … < height
// (inner). A lattice pixel whose three channels all exceed 10 starts a region
// unless an earlier region took it; the region grows depth-first over the
// lattice (neighbours up, down, right, left; one channel above 10 is enough).
// Returns one list per lattice position, in scan order: the region it started,
// in visiting order, or an empty list.
std::vector<std::vector<LatticePoint>> TraceBrightRegions(const PixelChannelReader& read,
                                                          int width, int height);

// A reader over a whole frame read back at once: `rgb` holds width × height
// pixels of three floats in 0..1, rows bottom-up (glReadPixels GL_RGB,
// GL_FLOAT with pack alignment 1). The scaling is the one ReadPixelChannel
// applies, so both readers give equal values.
PixelChannelReader FrameChannelReader(const std::vector<float>& rgb, int width, int height);

// Reads the whole back buffer of the current window (width × height) into
// `rgb` with one glReadPixels.
void ReadFrame(int width, int height, std::vector<float>& rgb);
