#include "play/recorder.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "app/input.h"
#include "app/pen_input.h"
#include "glui/glui.h"
#include "play/controls.h"
#include "play/windows.h"
#include "state/state.h"

namespace {

Recorder* Active = nullptr;

// Pauses shorter than this are not worth a line.
constexpr long kShortestWait = 20;

void OnControlChanged(GLUI_Control* control, GLUI_Control::Change change) {
  // The window of the control's subwindow: Write names its top-level one.
  if (Active && control->get_glui())
    Active->Write(control->get_glui()->get_glut_window_id(), ControlEvent(*control, change));
}

// Events inside a GLUI subwindow are recorded as the control changes they
// make; only the windows' own events are recorded as they come.
bool OwnEvents(int window) {
  const tap::WindowCallbacks* callbacks = tap::Window(window);
  return callbacks && callbacks->parent == 0 && !NameOfWindow(window).empty();
}

// The labels leading to `value` of `menu` inside the menu tree under `root`.
bool MenuPath(int root, int menu, int value, std::string* path, int depth = 0) {
  const tap::Menu* current = tap::MenuOf(root);
  if (!current || depth > 8) return false;
  for (const tap::MenuEntry& entry : current->entries) {
    if (entry.submenu != 0) {
      std::string below;
      if (MenuPath(entry.submenu, menu, value, &below, depth + 1)) {
        *path = entry.label + "/" + below;
        return true;
      }
    } else if (root == menu && entry.value == value && !entry.label.empty()) {
      *path = entry.label;
      return true;
    }
  }
  return false;
}

// The shortest decimal that reads back as the same float: a pressure is
// recorded as 0.3, not as the double nearest the float 0.3, and replays
// as the very float it was.
double AsWritten(float value) {
  for (int digits = 1; digits < 9; ++digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) return std::strtod(text, nullptr);
  }
  return value;
}

}  // namespace

Recorder::Recorder(std::FILE* journal)
    : journal_(journal), last_(std::chrono::steady_clock::now()) {}

Recorder::~Recorder() {
  if (Active == this) {
    Active = nullptr;
    GLUI_Master.change_listener = nullptr;
    tap::SetListener(nullptr);
  }
}

void Recorder::Start() {
  Active = this;
  GLUI_Master.change_listener = OnControlChanged;
  tap::SetListener(this);
  WriteLine("# Kelvra session, recorded by kelvra-play --record");
}

void Recorder::WriteLine(const std::string& line) {
  std::fprintf(journal_, "%s\n", line.c_str());
  std::fflush(journal_);
}

void Recorder::Write(int window, const Event& event) {
  const int top = TopLevelWindow(window);
  if (idleSteps_ > 0) {
    Event frames;
    frames.kind = EventKind::kFrames;
    frames.count = idleSteps_;
    WriteLine(FormatEvent(frames));
    idleSteps_ = 0;
  }
  const auto now = std::chrono::steady_clock::now();
  const long gap =
      static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(now - last_).count());
  last_ = now;
  if (gap >= kShortestWait) {
    Event wait;
    wait.kind = EventKind::kWait;
    wait.count = gap;
    WriteLine(FormatEvent(wait));
  }
  if (top != window_ && !NameOfWindow(top).empty()) {
    window_ = top;
    Event choice;
    choice.kind = EventKind::kWindow;
    choice.text = NameOfWindow(top);
    WriteLine(FormatEvent(choice));
  }
  WriteLine(FormatEvent(event));
}

void Recorder::Mouse(int window, int button, int state, int x, int y, int modifiers) {
  if (!OwnEvents(window)) return;
  // A notch of the wheel comes as a press and a release of its button: one
  // `wheel` line, with the modifier that changes what it does.
  constexpr int kWheelUp = 3, kWheelRight = 6;
  if (button >= kWheelUp && button <= kWheelRight) {
    if (state != GLUT_DOWN) return;
    Event wheel;
    wheel.kind = EventKind::kWheel;
    wheel.button = button;
    wheel.x = x;
    wheel.y = y;
    wheel.modifiers = modifiers & (kShiftKey | kCtrlKey);
    Write(window, wheel);
    return;
  }
  // A press in a window whose mouse goes through the control layer takes
  // the focus from the controls first, which commits typed text; that
  // commit is recorded before the press so a replay makes it in the same
  // order.
  if (state == GLUT_DOWN) GLUI_Master.FocusLeavesForPressIn(window);
  Event event;
  event.kind = state == GLUT_DOWN ? EventKind::kPress : EventKind::kRelease;
  event.button = button;
  event.x = x;
  event.y = y;
  Write(window, event);
}

void Recorder::Motion(int window, int x, int y, bool dragging) {
  if (!OwnEvents(window)) return;
  Event event;
  event.kind = EventKind::kMove;
  event.x = x;
  event.y = y;
  if (dragging && window == AppState().windows.main.id)
    heldMove_ = event;
  else
    Write(window, event);
}

void Recorder::MotionHandled(int window) {
  if (!heldMove_) return;
  if (const std::optional<float> pressure = ThePen().LastPressure())
    heldMove_->values = {AsWritten(*pressure)};
  Write(window, *heldMove_);
  heldMove_.reset();
}

void Recorder::Keyboard(int window, unsigned char key, int modifiers) {
  if (!OwnEvents(window)) return;
  // Backspace, Tab, Enter and Esc have names; the other control codes are
  // what GLUT delivers for Ctrl+letter. Keys beyond ASCII have no script
  // form, and nothing in the windows reads them.
  const bool named = key == 8 || key == 9 || key == 13 || key == 27 || key == 127;
  const bool control = key >= 1 && key <= 26 && !named;
  if (key >= 128 || (key < 32 && !named && !control)) return;
  Event event;
  event.kind = EventKind::kKey;
  event.key = key;
  // A letter's case already says whether Shift was held.
  event.modifiers = (modifiers & (kCtrlKey | kAltKey)) | (control ? kCtrlKey : 0);
  Write(window, event);
}

void Recorder::Special(int window, int key, int modifiers) {
  if (!OwnEvents(window)) return;
  // Modifier and lock keys pressed on their own change nothing in any
  // window; their effect is in the keys recorded with them.
  if (IsModifierKey(key)) return;
  Event event;
  event.kind = EventKind::kSpecial;
  event.key = key;
  event.modifiers = modifiers;
  Write(window, event);
}

void Recorder::Reshape(int window, int width, int height) {
  // The panels keep their sizes by themselves; only the main view's size
  // is the person's to choose.
  if (window != AppState().windows.main.id) return;
  const bool opening = mainWidth_ == 0;
  const bool same = width == mainWidth_ && height == mainHeight_;
  mainWidth_ = width;
  mainHeight_ = height;
  if (opening || same) return;
  Event event;
  event.kind = EventKind::kResize;
  event.x = width;
  event.y = height;
  Write(window, event);
}

void Recorder::MenuChosen(int window, int menu, int value) {
  const int top = TopLevelWindow(window);
  const tap::WindowCallbacks* callbacks = tap::Window(top);
  std::string path;
  if (!callbacks || !MenuPath(callbacks->rightMenu, menu, value, &path)) return;
  Event event;
  event.kind = EventKind::kMenu;
  event.text = path;
  Write(top, event);
}
