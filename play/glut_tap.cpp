#include "play/glut_tap.h"

#include <GL/freeglut.h>

#include <map>

// The real GLUT functions, reached under these names when linked with
// --wrap=NAME.
extern "C" {
void __real_glutDisplayFunc(void (*)());
void __real_glutReshapeFunc(void (*)(int, int));
void __real_glutKeyboardFunc(void (*)(unsigned char, int, int));
void __real_glutSpecialFunc(void (*)(int, int, int));
void __real_glutMouseFunc(void (*)(int, int, int, int));
void __real_glutMotionFunc(void (*)(int, int));
void __real_glutPassiveMotionFunc(void (*)(int, int));
void __real_glutIdleFunc(void (*)());
int __real_glutCreateMenu(void (*)(int));
void __real_glutAddMenuEntry(const char*, int);
void __real_glutAddSubMenu(const char*, int);
void __real_glutAttachMenu(int);
int __real_glutGetModifiers();
int __real_glutCreateWindow(const char*);
int __real_glutCreateSubWindow(int, int, int, int, int);
void __real_glutSwapBuffers();
}

namespace tap {
namespace {

std::map<int, WindowCallbacks>& Windows_() {
  static std::map<int, WindowCallbacks> windows;
  return windows;
}
std::vector<int>& Order() {
  static std::vector<int> order;
  return order;
}
std::map<int, Menu>& Menus() {
  static std::map<int, Menu> menus;
  return menus;
}
void (*Idle)() = nullptr;
Listener* TheListener = nullptr;
SwapListener TheSwapListener = nullptr;
// While a scripted event is delivered: the modifiers it carries, and no
// listener (it is not a person's input).
bool Injecting = false;
int InjectedModifiers = 0;

WindowCallbacks& Current() { return Windows_()[glutGetWindow()]; }

Listener* Hearing() { return Injecting ? nullptr : TheListener; }

int Modifiers() { return __real_glutGetModifiers(); }

void TapDisplay() {
  if (auto f = Current().display) f();
}
void TapReshape(int w, int h) {
  if (Listener* l = Hearing()) l->Reshape(glutGetWindow(), w, h);
  if (auto f = Current().reshape) f(w, h);
}
void TapKeyboard(unsigned char key, int x, int y) {
  if (Listener* l = Hearing()) l->Keyboard(glutGetWindow(), key, Modifiers());
  if (auto f = Current().keyboard) f(key, x, y);
}
void TapSpecial(int key, int x, int y) {
  if (Listener* l = Hearing()) l->Special(glutGetWindow(), key, Modifiers());
  if (auto f = Current().special) f(key, x, y);
}
void TapMouse(int button, int state, int x, int y) {
  if (Listener* l = Hearing()) l->Mouse(glutGetWindow(), button, state, x, y, Modifiers());
  if (auto f = Current().mouse) f(button, state, x, y);
}
void TapMotion(int x, int y) {
  const int window = glutGetWindow();
  Listener* listener = Hearing();
  if (listener) listener->Motion(window, x, y, true);
  if (auto f = Current().motion) f(x, y);
  if (listener && Hearing() == listener) listener->MotionHandled(window);
}
void TapPassiveMotion(int x, int y) {
  if (Listener* l = Hearing()) l->Motion(glutGetWindow(), x, y, false);
  if (auto f = Current().passiveMotion) f(x, y);
}
void TapIdle() {
  if (Listener* l = Hearing()) l->Idle();
  if (Idle) Idle();
}
void TapMenu(int value) {
  const int menu = glutGetMenu();
  if (Listener* l = Hearing()) l->MenuChosen(glutGetWindow(), menu, value);
  const auto found = Menus().find(menu);
  if (found != Menus().end() && found->second.callback) found->second.callback(value);
}

// Delivers one scripted event with `window` current.
template <typename Deliver>
bool Inject(int window, int modifiers, Deliver deliver) {
  if (Windows_().find(window) == Windows_().end()) return false;
  glutSetWindow(window);
  Injecting = true;
  InjectedModifiers = modifiers;
  const bool delivered = deliver(Windows_()[window]);
  Injecting = false;
  InjectedModifiers = 0;
  return delivered;
}

// The wrapper registers the tap's trampoline in place of a non-null
// callback and remembers the program's own.
template <typename Callback>
void Register(Callback WindowCallbacks::*slot, Callback callback, Callback trampoline,
              void (*real)(Callback)) {
  Current().*slot = callback;
  real(callback ? trampoline : nullptr);
}

}  // namespace

const WindowCallbacks* Window(int window) {
  const auto found = Windows_().find(window);
  return found == Windows_().end() ? nullptr : &found->second;
}

const Menu* MenuOf(int menu) {
  const auto found = Menus().find(menu);
  return found == Menus().end() ? nullptr : &found->second;
}

const std::vector<int>& Windows() { return Order(); }

void (*IdleFunction())() { return Idle; }

void SetListener(Listener* listener) { TheListener = listener; }


void SetSwapListener(SwapListener listener) { TheSwapListener = listener; }

bool InjectMouse(int window, int button, int state, int x, int y, int modifiers) {
  return Inject(window, modifiers, [&](const WindowCallbacks& w) {
    if (!w.mouse) return false;
    w.mouse(button, state, x, y);
    return true;
  });
}

bool InjectMotion(int window, int x, int y, bool dragging) {
  return Inject(window, 0, [&](const WindowCallbacks& w) {
    auto f = dragging ? w.motion : w.passiveMotion;
    if (!f) return false;
    f(x, y);
    return true;
  });
}

bool InjectKeyboard(int window, unsigned char key, int x, int y, int modifiers) {
  return Inject(window, modifiers, [&](const WindowCallbacks& w) {
    if (!w.keyboard) return false;
    w.keyboard(key, x, y);
    return true;
  });
}

bool InjectSpecial(int window, int key, int x, int y, int modifiers) {
  return Inject(window, modifiers, [&](const WindowCallbacks& w) {
    if (!w.special) return false;
    w.special(key, x, y);
    return true;
  });
}

bool InjectMenu(int window, int menu, int value) {
  const Menu* entry = MenuOf(menu);
  if (!entry || !entry->callback) return false;
  return Inject(window, 0, [&](const WindowCallbacks&) {
    glutSetMenu(menu);
    entry->callback(value);
    return true;
  });
}

bool InjectDisplay(int window) {
  return Inject(window, 0, [](const WindowCallbacks& w) {
    if (!w.display) return false;
    w.display();
    return true;
  });
}

}  // namespace tap

using tap::WindowCallbacks;

extern "C" {

void __wrap_glutDisplayFunc(void (*f)()) {
  tap::Register(&WindowCallbacks::display, f, &tap::TapDisplay, __real_glutDisplayFunc);
}
void __wrap_glutReshapeFunc(void (*f)(int, int)) {
  tap::Register(&WindowCallbacks::reshape, f, &tap::TapReshape, __real_glutReshapeFunc);
}
void __wrap_glutKeyboardFunc(void (*f)(unsigned char, int, int)) {
  tap::Register(&WindowCallbacks::keyboard, f, &tap::TapKeyboard, __real_glutKeyboardFunc);
}
void __wrap_glutSpecialFunc(void (*f)(int, int, int)) {
  tap::Register(&WindowCallbacks::special, f, &tap::TapSpecial, __real_glutSpecialFunc);
}
void __wrap_glutMouseFunc(void (*f)(int, int, int, int)) {
  tap::Register(&WindowCallbacks::mouse, f, &tap::TapMouse, __real_glutMouseFunc);
}
void __wrap_glutMotionFunc(void (*f)(int, int)) {
  tap::Register(&WindowCallbacks::motion, f, &tap::TapMotion, __real_glutMotionFunc);
}
void __wrap_glutPassiveMotionFunc(void (*f)(int, int)) {
  tap::Register(&WindowCallbacks::passiveMotion, f, &tap::TapPassiveMotion,
                __real_glutPassiveMotionFunc);
}
void __wrap_glutIdleFunc(void (*f)()) {
  tap::Idle = f;
  __real_glutIdleFunc(f ? &tap::TapIdle : nullptr);
}
int __wrap_glutCreateMenu(void (*f)(int)) {
  const int menu = __real_glutCreateMenu(f ? &tap::TapMenu : nullptr);
  tap::Menus()[menu].callback = f;
  return menu;
}
void __wrap_glutAddMenuEntry(const char* label, int value) {
  tap::Menus()[glutGetMenu()].entries.push_back({label ? label : "", value, 0});
  __real_glutAddMenuEntry(label, value);
}
void __wrap_glutAddSubMenu(const char* label, int submenu) {
  tap::Menus()[glutGetMenu()].entries.push_back({label ? label : "", 0, submenu});
  __real_glutAddSubMenu(label, submenu);
}
void __wrap_glutAttachMenu(int button) {
  if (button == GLUT_RIGHT_BUTTON) tap::Current().rightMenu = glutGetMenu();
  __real_glutAttachMenu(button);
}
int __wrap_glutGetModifiers() {
  return tap::Injecting ? tap::InjectedModifiers : __real_glutGetModifiers();
}
int __wrap_glutCreateWindow(const char* title) {
  const int window = __real_glutCreateWindow(title);
  tap::Windows_()[window];
  tap::Order().push_back(window);
  return window;
}
void __wrap_glutSwapBuffers() {
  if (tap::TheSwapListener) tap::TheSwapListener(glutGetWindow());
  __real_glutSwapBuffers();
}
int __wrap_glutCreateSubWindow(int parent, int x, int y, int width, int height) {
  const int window = __real_glutCreateSubWindow(parent, x, y, width, height);
  tap::Windows_()[window].parent = parent;
  tap::Order().push_back(window);
  return window;
}

}  // extern "C"
