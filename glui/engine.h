#pragma once
// Inside of the control layer: the ImGui side of one GLUI subwindow, its
// input queue, and the GLUT handlers. Not for panels (they use glui.h).

#include <deque>

#include "glui/glui.h"

struct ImGuiContext;

// One input event of a subwindow, queued until a frame applies it.
struct GluiInputEvent {
  enum Kind { kMove, kButton, kKey, kLeave } kind = kMove;
  int x = 0, y = 0;
  bool down = false;
  int key = 0;       // KeysDown index: ASCII, or 256 + a GLUT special key
  int character = 0; // printable character typed with the key, or 0
  int modifiers = 0; // GLUT_ACTIVE_SHIFT | _CTRL | _ALT
};

// What a control's Draw gets besides ImGui's current state.
struct GluiFrame {
  double time = 0;  // seconds, steady clock
};

struct GLUI::Engine {
  // Creates the ImGui context, its own font atlas and renderer data; the
  // subwindow's GL context must be current.
  Engine();
  ~Engine();

  ImGuiContext* context = nullptr;
  std::deque<GluiInputEvent> queue;
  double last_time = 0;
  bool wants_frames = false;  // an item is active or input is pending
  bool was_active = false;    // an item was active in the last frame
  bool drop_focus = false;    // deactivate ImGui's active item next frame
  int key_down = -1;          // KeysDown index pressed in the last frame
};

namespace glui_internal {

double Now();

// Registers the layer's display and input handlers on the current window,
// which must be a GLUI subwindow.
void InstallSubwindowCallbacks();

// Input into a subwindow, as the GLUT handlers deliver it (y from the top).
void QueueMouse(GLUI& gui, int button, int state, int x, int y, int modifiers);
void QueueMotion(GLUI& gui, int x, int y);
void QueueKey(GLUI& gui, int key, bool special, int modifiers);
void QueueLeave(GLUI& gui);

// Applies queued input (at most one button or key transition), builds and
// renders one frame into the current window, and swaps.
void DrawFrame(GLUI& gui);

// The handlers installed on a parent window by GLUI_Master.
void ParentReshape(int width, int height);
void ParentMouse(int button, int state, int x, int y);
void ParentKeyboard(unsigned char key, int x, int y);
void ParentSpecial(int key, int x, int y);
// The layer's idle handler: ticks, then the user's idle function.
void Idle();

}  // namespace glui_internal
