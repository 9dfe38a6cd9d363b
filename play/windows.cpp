#include "play/windows.h"

#include <GL/freeglut.h>

#include <iterator>

#include "glui/glui.h"
#include "play/glut_tap.h"
#include "play/script.h"
#include "state/state.h"

namespace {

// The id of the window with the script name `index` (in the order of the
// names).
int WindowId(std::size_t index) {
  const Windows& windows = AppState().windows;
  const int ids[] = {windows.main.id,        windows.strokePanel.id, windows.cameraPanel.id,
                     windows.filterPanel.id, windows.sizePanel.id,   windows.paintings.id,
                     windows.brushes.id};
  return index < std::size(ids) ? ids[index] : 0;
}

}  // namespace

int WindowNamed(const std::string& name) {
  const auto& names = ScriptWindowNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (name == names[i]) return WindowId(i);
  return 0;
}

int TopLevelWindow(int window) {
  for (int hops = 0; hops < 8; ++hops) {
    const tap::WindowCallbacks* callbacks = tap::Window(window);
    if (!callbacks || callbacks->parent == 0) return window;
    window = callbacks->parent;
  }
  return window;
}

std::string NameOfWindow(int window) {
  const int top = TopLevelWindow(window);
  const auto& names = ScriptWindowNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (top != 0 && top == WindowId(i)) return names[i];
  return std::string();
}

WindowRect PlaceOfWindow(int window) {
  WindowRect rect;
  const int top = TopLevelWindow(window);
  const int current = glutGetWindow();
  glutSetWindow(top);
  const int parentWidth = glutGet(GLUT_WINDOW_WIDTH), parentHeight = glutGet(GLUT_WINDOW_HEIGHT);
  glutSetWindow(current);
  rect.width = parentWidth;
  rect.height = parentHeight;
  if (window == top) return rect;
  GLUI_Master.PlaceOfSubwindow(window, parentWidth, parentHeight, &rect.x, &rect.y, &rect.width,
                               &rect.height);
  return rect;
}

std::vector<int> SubwindowsOf(int top) {
  std::vector<int> subwindows;
  for (int window : tap::Windows()) {
    const tap::WindowCallbacks* callbacks = tap::Window(window);
    if (callbacks && callbacks->parent == top) subwindows.push_back(window);
  }
  return subwindows;
}
