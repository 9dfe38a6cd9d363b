#pragma once
// Inside of the control layer: the ImGui side of one GLUI subwindow, its
// input queue, and the GLUT handlers. Not for panels (they use glui.h).

#include <deque>

#include "glui/glui.h"

struct ImGuiContext;
struct ImFont;

// One input event of a subwindow, queued until a frame applies it.
struct GluiInputEvent {
  enum Kind { kMove, kButton, kWheel, kKey, kLeave } kind = kMove;
  int x = 0, y = 0;
  bool down = false;
  int wheel = 0;     // notches, away from the person positive
  int key = 0;       // KeysDown index: ASCII, or 256 + a GLUT special key
  int character = 0; // printable character typed with the key, or 0
  int modifiers = 0; // GLUT_ACTIVE_SHIFT | _CTRL | _ALT
};

// What a control's Draw gets besides ImGui's current state.
struct GluiFrame {
  double time = 0;  // seconds, steady clock
};

struct GluiEngine {
  // Creates the ImGui context, its own font atlas and renderer data; the
  // subwindow's GL context must be current.
  GluiEngine();
  ~GluiEngine();

  ImGuiContext* context = nullptr;
  std::deque<GluiInputEvent> queue;
  double last_time = 0;
  bool wants_frames = false;  // an item is active or input is pending
  bool was_active = false;    // an item was active in the last frame
  bool drop_focus = false;    // deactivate ImGui's active item next frame
  int key_down = -1;          // KeysDown index pressed in the last frame
  // The text font is loaded into the atlas before the next frame: only
  // subwindows showing names pay for it, and the others' pictures stay
  // exactly as they were.
  bool wants_text_font = false;
};

// The font of names (TextFont in draw.cpp): DejaVu Sans from the Debian
// package fonts-dejavu-core, at the layer's text height.
constexpr const char* kTextFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

namespace glui_internal {

double Now();

// The current context's text font, once loaded; its default font before.
ImFont* TextFont();

// The layer's own functions outside the GLUI classes: the GLUT handlers,
// the input queue and the frame. The only code besides the classes that
// reaches their private parts; the layer's tests look inside through it.
struct Layer {
  // Registers the layer's display and input handlers on the current window,
  // which must be a GLUI subwindow.
  static void InstallSubwindowCallbacks();

  // Input into a subwindow, as the GLUT handlers deliver it (y from the top).
  static void QueueMouse(GLUI& gui, int button, int state, int x, int y, int modifiers);
  static void QueueMotion(GLUI& gui, int x, int y);
  static void QueueKey(GLUI& gui, int key, bool special, int modifiers);
  static void QueueLeave(GLUI& gui);
  // The letters past Latin-1 typed into the subwindows (glui/typed_text.h):
  // those before the key GLUT is handing over when `glutKey`.
  static void QueueTypedLetters(bool glutKey);

  // Applies queued input (at most one button or key transition), builds and
  // renders one frame into the current window, and swaps.
  static void DrawFrame(GLUI& gui);
  // Draws `text` as a notice over the current window's picture, no swap.
  static void DrawNotice(GluiEngine& engine, const std::string& text);

  // The handlers installed on a parent window by GLUI_Master.
  static void ParentReshape(int width, int height);
  static void ParentMouse(int button, int state, int x, int y);
  static void ParentKeyboard(unsigned char key, int x, int y);
  static void ParentSpecial(int key, int x, int y);
  // The layer's idle handler: ticks, then the user's idle function.
  static void Idle();

  // --- What the layer's tests look at. ---
  struct Box {
    int x, y, w, h;
  };
  static Box BoxOf(const GLUI_Control& control) {
    return {control.x, control.y, control.w, control.h};
  }
  static const GLUI_Panel& Root(const GLUI& gui) { return gui.root; }
  static const GluiEngine& Engine(const GLUI& gui) { return *gui.engine; }
  // The fonts of the subwindow's atlas; whether its text font has `letter`
  // (a code point) without falling back, and what it falls back to.
  static int FontCount(const GLUI& gui);
  static bool TextFontHas(const GLUI& gui, unsigned letter);
  static unsigned TextFontFallback(const GLUI& gui);
  static bool IsHeld(const GLUI_Control& control) { return control.IsHeld(); }
  static const char* TextOf(const GLUI_Spinner& spinner) { return spinner.text; }
  static bool IsSpinning(const GLUI_Rotation& ball) { return ball.spinning; }
  static const std::vector<int>& Bars(const GLUI_Panel& panel) { return panel.bar_x; }

 private:
  // The GLUI subwindow that is the current GLUT window, or nullptr.
  static GLUI* CurrentGui();
  static void Queue(GLUI& gui, const GluiInputEvent& e);
  // The handlers of a subwindow's GLUT events.
  static void OnDisplay();
  static void OnReshape(int, int);
  static void OnMouse(int button, int state, int x, int y);
  static void OnMotion(int x, int y);
  static void OnKeyboard(unsigned char key, int, int);
  static void OnSpecial(int key, int, int);
  static void OnEntry(int state);
};

}  // namespace glui_internal
