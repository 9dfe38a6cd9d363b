#pragma once
// A virtual X server for runs without a display: kelvra-play starts Xvfb,
// points DISPLAY at it, and the server ends with the process, however the
// process ends.

#include <string>

// Starts Xvfb on a free display number unless DISPLAY is set. Returns false,
// with `error` set, when no server could be started.
bool EnsureDisplay(std::string* error);
