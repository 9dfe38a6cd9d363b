#pragma once
// The painter's windows by the names session scripts give them.

#include <string>

// The GLUT id of "main", "stroke", "camera", "filter" or "size"; 0 for
// another name or a window not created yet.
int WindowNamed(const std::string& name);
// The script name of a top-level window or of the window a GLUI subwindow
// belongs to; empty for a window that is none of the five.
std::string NameOfWindow(int window);
// The top-level window of `window` (itself when it has no parent).
int TopLevelWindow(int window);
