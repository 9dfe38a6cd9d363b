#pragma once
// The auto-trace fill: bright regions of a frame, grown over a lattice of
// pixels 10 apart. Free of GL, so it runs on any frame, read back per pixel
// or all at once.

#include <functional>
#include <vector>

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
std::vector<std::vector<LatticePoint>> TraceBrightRegions(const PixelChannelReader& read, int width,
                                                          int height);

// A reader over a whole frame read back at once: `rgb` holds width × height
// pixels of three floats in 0..1, rows bottom-up (glReadPixels GL_RGB,
// GL_FLOAT with pack alignment 1). The scaling is the one ReadPixelChannel
// applies, so both readers give equal values.
PixelChannelReader FrameChannelReader(const std::vector<float>& rgb, int width, int height);
