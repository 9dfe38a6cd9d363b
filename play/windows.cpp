#include "play/windows.h"

#include "app/state.h"
#include "play/glut_tap.h"

namespace {

struct NamedWindow {
  const char* name;
  const int* id;
};

const NamedWindow kWindows[] = {{"main", &MainWindow},
                                {"stroke", &StrokePanelWindow},
                                {"camera", &CameraPanelWindow},
                                {"filter", &FilterPanelWindow},
                                {"size", &SizePanelWindow}};

}  // namespace

int WindowNamed(const std::string& name) {
  for (const NamedWindow& window : kWindows)
    if (name == window.name) return *window.id;
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
  for (const NamedWindow& w : kWindows)
    if (top != 0 && top == *w.id) return w.name;
  return std::string();
}
