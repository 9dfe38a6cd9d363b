#pragma once
// The painter's windows by the names session scripts give them, and where
// each one lies.

#include <string>
#include <vector>

// The GLUT id of "main", "stroke", "camera", "filter", "size" or
// "paintings"; 0 for another name or a window not created yet.
int WindowNamed(const std::string& name);
// The script name of a top-level window or of the window a GLUI subwindow
// belongs to; empty for a window that is none of the six.
std::string NameOfWindow(int window);
// The top-level window of `window` (itself when it has no parent).
int TopLevelWindow(int window);

// A window's place in its top-level window, GLUT pixels from the top-left.
struct WindowRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool Holds(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
};

// Where `window` lies: a top-level window at (0, 0) with its own size, a
// GLUI subwindow where the control layer places it for its parent's size.
WindowRect PlaceOfWindow(int window);
// The subwindows of `top`, in creation order (a later one lies on top).
std::vector<int> SubwindowsOf(int top);
