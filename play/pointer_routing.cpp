#include "play/pointer_routing.h"

#include <GL/freeglut.h>

#include "play/glut_tap.h"
#include "play/windows.h"

namespace {

// The window under (x, y) of `top`, and the point in its own pixels.
int WindowAt(int top, int x, int y, int* localX, int* localY) {
  const std::vector<int> subwindows = SubwindowsOf(top);
  for (auto sub = subwindows.rbegin(); sub != subwindows.rend(); ++sub) {
    const WindowRect rect = PlaceOfWindow(*sub);
    if (rect.Holds(x, y)) {
      *localX = x - rect.x;
      *localY = y - rect.y;
      return *sub;
    }
  }
  *localX = x;
  *localY = y;
  return top;
}

}  // namespace

PointerRouting::Pointer& PointerRouting::PointerOf(int top) {
  for (auto& [id, pointer] : pointers_)
    if (id == top) return pointer;
  pointers_.emplace_back(top, Pointer());
  return pointers_.back().second;
}

void PointerRouting::Deliver(int top, const Event& event) {
  Pointer& pointer = PointerOf(top);
  pointer.x = event.x;
  pointer.y = event.y;
  const bool press = event.kind == EventKind::kPress;
  if (event.kind != EventKind::kMove) {
    const tap::WindowCallbacks* callbacks = tap::Window(top);
    // The right button opens a window's menu and never reaches the program;
    // menus are chosen with `menu` lines.
    if (event.button == GLUT_RIGHT_BUTTON && callbacks && callbacks->rightMenu != 0) return;
    const int bit = 1 << (event.button & 31);
    int target = pointer.grab, x = 0, y = 0;
    if (press && pointer.buttonsDown == 0) {
      target = WindowAt(top, event.x, event.y, &x, &y);
      pointer.grab = target;
      const WindowRect rect = PlaceOfWindow(target);
      pointer.grabX = target == top ? 0 : rect.x;
      pointer.grabY = target == top ? 0 : rect.y;
    }
    if (target == 0) target = top;
    x = event.x - pointer.grabX;
    y = event.y - pointer.grabY;
    pointer.buttonsDown = press ? pointer.buttonsDown | bit : pointer.buttonsDown & ~bit;
    tap::InjectMouse(target, event.button, press ? GLUT_DOWN : GLUT_UP, x, y, event.modifiers);
    if (pointer.buttonsDown == 0) pointer.grab = 0;
    return;
  }
  // A drag goes to the window the button was pressed in, as GLUT grabs the
  // pointer; a passive move to the window under it.
  if (pointer.buttonsDown != 0 && pointer.grab != 0) {
    tap::InjectMotion(pointer.grab, event.x - pointer.grabX, event.y - pointer.grabY, true);
    return;
  }
  int x = 0, y = 0;
  const int target = WindowAt(top, event.x, event.y, &x, &y);
  tap::InjectMotion(target, x, y, false);
}

int PointerRouting::KeyTarget(int top, int* x, int* y) {
  const Pointer& pointer = PointerOf(top);
  return WindowAt(top, pointer.x, pointer.y, x, y);
}
