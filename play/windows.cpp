#include "play/windows.h"

#include "app/state.h"
#include "play/glut_tap.h"
#include "play/script.h"

namespace {

// The windows' ids, in the order of their script names.
const int* const kWindowIds[] = {&MainWindow, &StrokePanelWindow, &CameraPanelWindow,
                                 &FilterPanelWindow, &SizePanelWindow};

}  // namespace

int WindowNamed(const std::string& name) {
  const auto& names = ScriptWindowNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (name == names[i]) return *kWindowIds[i];
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
    if (top != 0 && top == *kWindowIds[i]) return names[i];
  return std::string();
}
