#pragma once
// Which window a scripted pointer event reaches, as the X server and GLUT
// decide it for a person's pointer: a press goes to the window under the
// pointer (a control subwindow lying over its parent), and the window a
// button was pressed in keeps the pointer until every button is up.

#include <utility>
#include <vector>

#include "play/script.h"

class PointerRouting {
 public:
  // Delivers a press, release or move given in `top`'s pixels to the
  // window that receives it, in that window's own pixels.
  void Deliver(int top, const Event& event);

  // The window under `top`'s pointer, where keys typed now go, and the
  // pointer in its pixels.
  int KeyTarget(int top, int* x, int* y);

 private:
  struct Pointer {
    int x = 0, y = 0;
    int buttonsDown = 0;  // bit per button
    int grab = 0;         // the window a held button pressed in
    int grabX = 0, grabY = 0;
  };
  Pointer& PointerOf(int top);

  std::vector<std::pair<int, Pointer>> pointers_;  // one per top-level window
};
