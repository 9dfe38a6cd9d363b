#include "glui/typed_text.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <chrono>
#include <deque>
#include <vector>

namespace glui_internal {

namespace {

using Clock = std::chrono::steady_clock;

// How long a press GLUT has not handed over holds back the letters behind
// it: GLUT hands over a key as soon as its loop runs, well within this.
constexpr std::chrono::milliseconds kUnanswered{250};

// A subwindow read: its X window, its GLUT window and its input context.
struct Watched {
  Window window = 0;
  int glutWindow = 0;
  XIC context = nullptr;
};

// A press as this connection saw it: a letter past Latin-1, or (letter 0)
// any other press, which GLUT may hand over.
struct Press {
  unsigned letter = 0;
  int glutWindow = 0;
  Clock::time_point arrived;
};

struct Connection {
  Display* display = nullptr;
  XIM method = nullptr;
  std::vector<Watched> windows;
  std::deque<Press> presses;  // read, not yet given out
  bool tried = false;

  // Opened at the first subwindow; null for good once that failed.
  bool Open() {
    if (tried) return method != nullptr;
    tried = true;
    display = XOpenDisplay(nullptr);
    if (!display) return false;
    // The input method of this client alone, which turns a key into its
    // letter by the keyboard map: a server's (found through XMODIFIERS)
    // would take keys GLUT types as well, into words of its own.
    XSetLocaleModifiers("@im=none");
    method = XOpenIM(display, nullptr, nullptr, nullptr);
    if (!method) {
      XCloseDisplay(display);
      display = nullptr;
    }
    return method != nullptr;
  }
};

Connection& TheConnection() {
  static Connection connection;
  return connection;
}

const Watched* Find(const Connection& connection, Window window) {
  for (const Watched& watched : connection.windows)
    if (watched.window == window) return &watched;
  return nullptr;
}

bool Watching(const Connection& connection, int glutWindow) {
  for (const Watched& watched : connection.windows)
    if (watched.glutWindow == glutWindow) return true;
  return false;
}

// The presses `event` makes: one for each letter past Latin-1 it types, or
// one other press.
void Record(Connection& connection, XKeyEvent& event) {
  const Watched* watched = Find(connection, event.window);
  if (!watched) return;
  char text[64];
  KeySym symbol = NoSymbol;
  Status status = 0;
  const int length = Xutf8LookupString(watched->context, &event, text, sizeof text, &symbol, &status);
  // A key without a symbol types nothing and GLUT hands nothing over. So
  // does a key whose symbol was bound only for the moment of its press (a
  // tool typing through a spare key) when it is read after the binding
  // went: its letter is lost, as GLUT would lose one, and the letters
  // after it keep their places.
  if (status == XLookupNone) return;
  // A shortcut (Ctrl or Alt held) types nothing here.
  const bool typing = !(event.state & (ControlMask | Mod1Mask)) &&
                      (status == XLookupChars || status == XLookupBoth) && length > 0;
  std::vector<unsigned> letters;
  bool other = false;  // a press GLUT may hand over
  for (const char* at = text; typing && at < text + length;) {
    unsigned letter = 0;
    const int bytes = ImTextCharFromUtf8(&letter, at, text + length);
    if (bytes <= 0) break;
    at += bytes;
    if (letter > 0xFF)
      letters.push_back(letter);
    else
      other = true;  // GLUT types this one
  }
  if (other || letters.empty()) letters.assign(1, 0);
  for (unsigned letter : letters)
    connection.presses.push_back(Press{letter, watched->glutWindow, Clock::now()});
}

}  // namespace

void TypedText::Watch() {
  Display* glut = glXGetCurrentDisplay();
  Connection& connection = TheConnection();
  if (!glut || Watching(connection, glutGetWindow()) || !connection.Open()) return;
  // GLUT's connection may not have sent the new window to the server yet.
  XSync(glut, False);
  Watched watched;
  watched.window = glXGetCurrentDrawable();
  watched.glutWindow = glutGetWindow();
  if (!watched.window) return;
  watched.context = XCreateIC(connection.method, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                              XNClientWindow, watched.window, nullptr);
  if (!watched.context) return;
  XSelectInput(connection.display, watched.window, KeyPressMask);
  XSync(connection.display, False);  // presses from now on
  connection.windows.push_back(watched);
}

void TypedText::Read(bool glutKey, const std::function<void(int, unsigned)>& typed) {
  Connection& connection = TheConnection();
  if (!connection.display || connection.windows.empty()) return;
  // A key GLUT hands over in a window not read here answers no press.
  glutKey = glutKey && Watching(connection, glutGetWindow());
  // The press GLUT hands over reached this connection too: ask the server
  // for everything it sent before now.
  if (glutKey) XSync(connection.display, False);
  while (XPending(connection.display) > 0) {
    XEvent event;
    XNextEvent(connection.display, &event);
    // Not filtered through the method: keys that make one letter together
    // (dead keys, Compose) reach GLUT one by one, and here they must stay
    // the same presses.
    if (event.type == KeyPress) Record(connection, event.xkey);
    if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
  }
  std::deque<Press>& presses = connection.presses;
  const Clock::time_point now = Clock::now();
  while (!presses.empty()) {
    const Press press = presses.front();
    if (press.letter) {
      presses.pop_front();
      typed(press.glutWindow, press.letter);
      continue;
    }
    if (!glutKey && now - press.arrived < kUnanswered) break;
    presses.pop_front();
    if (glutKey) break;  // the key GLUT hands over
  }
}

}  // namespace glui_internal
