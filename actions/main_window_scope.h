#pragma once
// GL work that belongs to the main window's context (the strokes' particle
// lists, its textures, reading its last frame) may be asked for while any
// window is current: a scope makes the main window current, when it exists
// and is not current already, and makes the window that was current again
// when it ends.

#include <GL/freeglut.h>

#include "state/state.h"

class MainWindowScope {
 public:
  MainWindowScope() : main_(AppState().windows.main.id) {
    if (main_ == 0) return;
    previous_ = glutGetWindow();
    if (previous_ != main_) glutSetWindow(main_);
  }
  ~MainWindowScope() {
    if (previous_ != 0 && previous_ != main_) glutSetWindow(previous_);
  }
  MainWindowScope(const MainWindowScope&) = delete;
  MainWindowScope& operator=(const MainWindowScope&) = delete;

 private:
  int main_ = 0;
  int previous_ = 0;
};
