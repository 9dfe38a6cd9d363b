#pragma once
// The X display kelvra-play draws on. A replay without one starts a virtual
// X server (Xvfb) and points DISPLAY at it; the server ends with the
// process, however the process ends.

#include <string>

// Starts Xvfb on a free display number unless DISPLAY is set. Returns false,
// with `error` set, when no server could be started.
bool EnsureDisplay(std::string* error);

// What keeps the X display `name` (DISPLAY when null) from being opened, or
// an empty text when it opens. GLUT would end the program on such a display
// only after the program had made its files.
std::string DisplayProblem(const char* name);
