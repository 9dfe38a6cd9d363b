#pragma once
// The X display kelvra-play draws on. A replay without one starts a virtual
// X server (Xvfb) and points DISPLAY at it; the server ends with the
// process, however the process ends.

#include <string>

// Starts Xvfb on a free display number unless DISPLAY is set. Returns false,
// with `error` set, when no server could be started.
bool EnsureDisplay(std::string* error);

// Opens a connection to the X display `name` (DISPLAY when null), so that
// the program can refuse a display that does not open before it makes its
// files (GLUT ends the program only after). Returns what kept it from
// opening, or an empty text. The connection is held until ReleaseDisplay:
// a server that resets when its last client leaves (xvfb-run's) would
// refuse GLUT's own connection for a moment if this one closed first.
std::string HoldDisplay(const char* name);

// Closes the held connection, once GLUT has its own.
void ReleaseDisplay();
