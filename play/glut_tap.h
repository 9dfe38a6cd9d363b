#pragma once
// Every GLUT callback, idle function and menu the program registers passes
// through here: kelvra-play is linked with --wrap for GLUT's registration
// calls (see play/CMakeLists.txt). So kelvra-play knows, for each window,
// the very functions GLUT calls for its events and can call them for a
// scripted event; and a listener hears every real event before the program
// does. `kelvra` links GLUT directly and has none of this.

#include <string>
#include <vector>

namespace tap {

struct WindowCallbacks {
  void (*display)() = nullptr;
  void (*reshape)(int, int) = nullptr;
  void (*keyboard)(unsigned char, int, int) = nullptr;
  void (*special)(int, int, int) = nullptr;
  void (*mouse)(int, int, int, int) = nullptr;
  void (*motion)(int, int) = nullptr;
  void (*passiveMotion)(int, int) = nullptr;
  int parent = 0;     // 0 for a top-level window
  int rightMenu = 0;  // the menu attached to its right button, 0 for none
};

struct MenuEntry {
  std::string label;
  int value = 0;    // what the callback gets; unused for a submenu
  int submenu = 0;  // non-zero for a submenu entry
};

struct Menu {
  void (*callback)(int) = nullptr;
  std::vector<MenuEntry> entries;
};

// What the program registered; nullptr for a window or menu it never made.
const WindowCallbacks* Window(int window);
const Menu* MenuOf(int menu);
// The windows created, in creation order.
const std::vector<int>& Windows();
void (*IdleFunction())();

// Hears real events as GLUT delivers them, before the program does. The
// current GLUT window is the event's window.
class Listener {
 public:
  virtual ~Listener() = default;
  virtual void Mouse(int /*window*/, int /*button*/, int /*state*/, int /*x*/, int /*y*/,
                     int /*modifiers*/) {}
  virtual void Motion(int /*window*/, int /*x*/, int /*y*/, bool /*dragging*/) {}
  // After the window's motion callback has run on a motion heard by Motion.
  virtual void MotionHandled(int /*window*/) {}
  virtual void Keyboard(int /*window*/, unsigned char /*key*/, int /*modifiers*/) {}
  virtual void Special(int /*window*/, int /*key*/, int /*modifiers*/) {}
  virtual void Reshape(int /*window*/, int /*width*/, int /*height*/) {}
  virtual void MenuChosen(int /*window*/, int /*menu*/, int /*value*/) {}
  virtual void Idle() {}
};
// nullptr stops listening. Events delivered by Inject calls are not heard.
void SetListener(Listener* listener);

// Called just before a window's finished frame is swapped to the screen,
// with that window current: the frame can be read back as drawn. nullptr
// stops it.
using SwapListener = void (*)(int window);
void SetSwapListener(SwapListener listener);

// Scripted events, delivered to the functions GLUT would call, with
// `window` current and glutGetModifiers() answering `modifiers`. Each
// returns false when the window has no such callback.
bool InjectMouse(int window, int button, int state, int x, int y, int modifiers);
bool InjectMotion(int window, int x, int y, bool dragging);
bool InjectKeyboard(int window, unsigned char key, int x, int y, int modifiers);
bool InjectSpecial(int window, int key, int x, int y, int modifiers);
bool InjectMenu(int window, int menu, int value);
bool InjectDisplay(int window);

}  // namespace tap
