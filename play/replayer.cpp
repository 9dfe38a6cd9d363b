#include "play/replayer.h"

#include <GL/freeglut.h>
#include <GL/glx.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "common/notice.h"
#include "export/png.h"
#include "glui/glui.h"
#include "image/pixel_store.h"
#include "play/controls.h"
#include "play/glut_tap.h"
#include "play/windows.h"
#include "state/redraw.h"
#include "state/state.h"

namespace {

double Now() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// GLUT's event processing without its idle step: pending input, window
// changes and redisplays. The redraw check comes first, as GLUT's timer
// runs it after input in its own loop; here it must not depend on the time
// a replay takes.
void Pump() {
  PostChangedRedisplays();
  glutMainLoopEvent();
}

// A GLUI subwindow's place in its parent, GLUT pixels from the top-left.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  bool Holds(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
};

Rect WindowRect(int window) {
  Rect rect;
  const int top = TopLevelWindow(window);
  const int current = glutGetWindow();
  glutSetWindow(top);
  const int parentWidth = glutGet(GLUT_WINDOW_WIDTH), parentHeight = glutGet(GLUT_WINDOW_HEIGHT);
  glutSetWindow(current);
  rect.width = parentWidth;
  rect.height = parentHeight;
  if (window == top) return rect;
  if (GLUI* gui = GLUI_Master.FindByWindow(window))
    gui->SubwindowRect(parentWidth, parentHeight, &rect.x, &rect.y, &rect.width, &rect.height);
  return rect;
}

// The subwindows of `top`, in creation order (a later one lies on top).
std::vector<int> SubwindowsOf(int top) {
  std::vector<int> subwindows;
  for (int window : tap::Windows()) {
    const tap::WindowCallbacks* callbacks = tap::Window(window);
    if (callbacks && callbacks->parent == top) subwindows.push_back(window);
  }
  return subwindows;
}

// The window under (x, y) of `top`, and the point in its own pixels.
int WindowAt(int top, int x, int y, int* localX, int* localY) {
  const std::vector<int> subwindows = SubwindowsOf(top);
  for (auto sub = subwindows.rbegin(); sub != subwindows.rend(); ++sub) {
    const Rect rect = WindowRect(*sub);
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

// The entry of `root`'s menu tree at the labels of `parts`; a label may
// hold slashes ("CONVOLUTION/CORRELATION").
bool FindMenuEntry(int root, const std::vector<std::string>& parts, std::size_t first, int* menu,
                   int* value) {
  const tap::Menu* current = tap::MenuOf(root);
  if (!current) return false;
  std::string label;
  for (std::size_t end = first; end < parts.size(); ++end) {
    label += (end == first ? "" : "/") + parts[end];
    for (const tap::MenuEntry& entry : current->entries) {
      if (entry.label != label) continue;
      if (entry.submenu != 0) {
        if (end + 1 < parts.size() && FindMenuEntry(entry.submenu, parts, end + 1, menu, value))
          return true;
      } else if (end + 1 == parts.size()) {
        *menu = root;
        *value = entry.value;
        return true;
      }
    }
  }
  return false;
}

void ReadPixels(int width, int height, std::vector<std::uint8_t>* rgb) {
  rgb->assign(static_cast<std::size_t>(width) * height * 3, 0);
  const PixelStoreScope tightRows;
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb->data());
  // GL's rows run bottom-up; pictures are top row first.
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height / 2; ++y)
    std::swap_ranges(rgb->begin() + y * row, rgb->begin() + (y + 1) * row,
                     rgb->begin() + (height - 1 - y) * row);
}

// The frame a display draws, read just before it is swapped.
struct Capture {
  int window = 0;
  int width = 0, height = 0;
  std::vector<std::uint8_t>* rgb = nullptr;
  bool done = false;
};
Capture* Capturing = nullptr;

void CaptureFrame(int window) {
  if (!Capturing || window != Capturing->window || Capturing->done) return;
  ReadPixels(Capturing->width, Capturing->height, Capturing->rgb);
  Capturing->done = true;
}

// Draws `window` and reads what it drew; false when it has no display.
bool DrawAndRead(int window, int width, int height, std::vector<std::uint8_t>* rgb) {
  Capture capture{window, width, height, rgb, false};
  Capturing = &capture;
  tap::SetSwapListener(CaptureFrame);
  tap::InjectDisplay(window);
  tap::SetSwapListener(nullptr);
  Capturing = nullptr;
  return capture.done;
}

}  // namespace

bool ReadWindowPicture(int window, int* width, int* height, std::vector<std::uint8_t>* rgb) {
  const Rect whole = WindowRect(window);
  if (whole.width <= 0 || whole.height <= 0) return false;
  if (!DrawAndRead(window, whole.width, whole.height, rgb)) return false;
  for (int sub : SubwindowsOf(window)) {
    const Rect rect = WindowRect(sub);
    std::vector<std::uint8_t> part;
    if (!DrawAndRead(sub, rect.width, rect.height, &part)) continue;
    for (int y = 0; y < rect.height; ++y)
      for (int x = 0; x < rect.width; ++x) {
        const int tx = rect.x + x, ty = rect.y + y;
        if (tx < 0 || ty < 0 || tx >= whole.width || ty >= whole.height) continue;
        for (int c = 0; c < 3; ++c)
          (*rgb)[(static_cast<std::size_t>(ty) * whole.width + tx) * 3 + c] =
              part[(static_cast<std::size_t>(y) * rect.width + x) * 3 + c];
      }
  }
  glutSetWindow(window);
  *width = whole.width;
  *height = whole.height;
  return true;
}

Replayer::Replayer(std::vector<Event> events, ReplayOptions options, ReplayExtras extras)
    : events_(std::move(events)), options_(std::move(options)), extras_(std::move(extras)) {}

void Replayer::Settle() {
  glutSetWindow(AppState().windows.main.id);
  Display* display = glXGetCurrentDisplay();
  // GLUT answers some events with requests of its own (a panel given its
  // size back, a window mapped), whose answers come later: the windows have
  // settled once several rounds in a row bring nothing new.
  int quiet = 0;
  for (int round = 0; round < 100 && quiet < 3; ++round) {
    if (display) XSync(display, False);
    const bool pending = display && XPending(display) > 0;
    Pump();
    quiet = pending ? 0 : quiet + 1;
  }
}

Replayer::Pointer& Replayer::PointerOf(int window) {
  for (auto& [id, pointer] : pointers_)
    if (id == window) return pointer;
  pointers_.emplace_back(window, Pointer());
  return pointers_.back().second;
}

std::string Replayer::Resolve(const std::string& file) const {
  std::filesystem::path path = file;
  if (path.is_relative() && !options_.baseFolder.empty()) path = options_.baseFolder / path;
  return path.string();
}

int Replayer::Run() {
  window_ = AppState().windows.main.id;
  Settle();
  lastEventTime_ = Now();
  const std::size_t total = events_.size();
  for (std::size_t i = 0; i < total && !stopped_; ++i) {
    const Event& event = events_[i];
    const std::string problem = Apply(event);
    if (!problem.empty()) {
      EndProgressLine();
      std::fprintf(stderr, "%s:%d: %s\n", options_.scriptName.c_str(), event.line, problem.c_str());
      return 1;
    }
    if (event.kind != EventKind::kFrames && event.kind != EventKind::kWait) lastEventTime_ = Now();
    if (options_.pictureLog) LogPictures(event);
    if (options_.progress && (i + 1 == total || (i + 1) % 500 == 0)) {
      std::fprintf(stderr, "\rkelvra-play: %zu of %zu events", i + 1, total);
      std::fflush(stderr);
      progressShown_ = true;
    }
  }
  EndProgressLine();
  Pump();
  return 0;
}

std::string Replayer::Apply(const Event& event) {
  switch (event.kind) {
    case EventKind::kWindow: {
      const int window = WindowNamed(event.text);
      if (window == 0) return "the " + event.text + " window is not open";
      window_ = window;
      return {};
    }
    case EventKind::kPress:
    case EventKind::kRelease:
    case EventKind::kMove:
      return PointerEvent(event);
    case EventKind::kKey:
    case EventKind::kSpecial:
      return Keys(event);
    case EventKind::kMenu:
      return ChooseMenu(event);
    case EventKind::kSet:
    case EventKind::kToggle:
    case EventKind::kClick: {
      std::string problem;
      GLUI_Control* control = FindControl(window_, event.text, &problem);
      return control ? ApplyControlEvent(*control, event) : problem;
    }
    case EventKind::kResize:
      glutSetWindow(window_);
      glutReshapeWindow(event.x, event.y);
      Settle();
      return {};
    case EventKind::kFrames:
      IdleSteps(event.count);
      return {};
    case EventKind::kWait:
      Wait(event.count);
      return {};
    case EventKind::kScreenshot:
      return Screenshot(event);
    case EventKind::kUndo:
      return extras_.undo ? extras_.undo() : "undo is not available here";
    case EventKind::kRedo:
      return extras_.redo ? extras_.redo() : "redo is not available here";
    case EventKind::kExport:
      return Export(event);
  }
  return "an event this kelvra-play does not know";
}

std::string Replayer::PointerEvent(const Event& event) {
  Pointer& pointer = PointerOf(window_);
  pointer.x = event.x;
  pointer.y = event.y;
  const bool press = event.kind == EventKind::kPress;
  if (event.kind != EventKind::kMove) {
    const tap::WindowCallbacks* callbacks = tap::Window(window_);
    // The right button opens a window's menu and never reaches the program;
    // menus are chosen with `menu` lines.
    if (event.button == GLUT_RIGHT_BUTTON && callbacks && callbacks->rightMenu != 0) return {};
    const int bit = 1 << (event.button & 31);
    int target = pointer.grab, x = 0, y = 0;
    if (press && pointer.buttonsDown == 0) {
      target = WindowAt(window_, event.x, event.y, &x, &y);
      pointer.grab = target;
      const Rect rect = WindowRect(target);
      pointer.grabX = target == window_ ? 0 : rect.x;
      pointer.grabY = target == window_ ? 0 : rect.y;
    }
    if (target == 0) target = window_;
    x = event.x - pointer.grabX;
    y = event.y - pointer.grabY;
    pointer.buttonsDown = press ? pointer.buttonsDown | bit : pointer.buttonsDown & ~bit;
    tap::InjectMouse(target, event.button, press ? GLUT_DOWN : GLUT_UP, x, y, 0);
    if (pointer.buttonsDown == 0) pointer.grab = 0;
    return {};
  }
  // A drag goes to the window the button was pressed in, as GLUT grabs the
  // pointer; a passive move to the window under it.
  if (pointer.buttonsDown != 0 && pointer.grab != 0) {
    tap::InjectMotion(pointer.grab, event.x - pointer.grabX, event.y - pointer.grabY, true);
    return {};
  }
  int x = 0, y = 0;
  const int target = WindowAt(window_, event.x, event.y, &x, &y);
  tap::InjectMotion(target, x, y, false);
  return {};
}

std::string Replayer::Keys(const Event& event) {
  constexpr unsigned char kEscape = 27;
  if (event.kind == EventKind::kKey && event.key == kEscape &&
      window_ == AppState().windows.main.id) {
    // Esc ends the painter; a replay ends there, successfully.
    stopped_ = true;
    return {};
  }
  const Pointer& pointer = PointerOf(window_);
  int x = 0, y = 0;
  const int target = WindowAt(window_, pointer.x, pointer.y, &x, &y);
  if (event.kind == EventKind::kKey)
    tap::InjectKeyboard(target, static_cast<unsigned char>(event.key), x, y, event.modifiers);
  else
    tap::InjectSpecial(target, event.key, x, y, event.modifiers);
  return {};
}

std::string Replayer::ChooseMenu(const Event& event) {
  const tap::WindowCallbacks* callbacks = tap::Window(window_);
  int menu = 0, value = 0;
  if (!callbacks || callbacks->rightMenu == 0 ||
      !FindMenuEntry(callbacks->rightMenu, SplitPath(event.text), 0, &menu, &value))
    return "no menu entry \"" + event.text + "\" in the " + NameOfWindow(window_) + " window";
  tap::InjectMenu(window_, menu, value);
  // A menu may show or hide windows: the X server's answers (mapping,
  // exposure) come in before the next event, as they would while a person
  // moves on, so that what follows does not depend on the server's speed.
  Settle();
  return {};
}

void Replayer::EndProgressLine() {
  if (progressShown_) std::fprintf(stderr, "\n");
  progressShown_ = false;
}

// Says what was written on stderr, as the export key does: stdout is the
// painter's console.
std::string Replayer::Export(const Event& event) {
  if (!extras_.exportTo) return "export is not available here";
  const std::string problem = extras_.exportTo(Resolve(event.text));
  if (problem.empty()) {
    EndProgressLine();
    Notice("exported the painting into " + event.text);
  }
  return problem;
}

std::string Replayer::Screenshot(const Event& event) {
  Pump();
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  if (!ReadWindowPicture(window_, &width, &height, &rgb))
    return "the " + NameOfWindow(window_) + " window has no pixels to read";
  // A picture into a folder that is not there yet makes it (an export makes
  // its own, once it knows it has something to write).
  const std::filesystem::path path = Resolve(event.text);
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  std::string problem;
  if (!WritePng8(path.string(), width, height, 3, rgb, &problem)) return problem;
  return {};
}

// What the X server shows of each open top-level window (its control
// subwindows included), read from the screen without drawing anything.
void Replayer::LogPictures(const Event& event) {
  const int current = glutGetWindow();
  Display* display = glXGetCurrentDisplay();
  if (!display) return;
  XSync(display, False);
  for (int window : tap::Windows()) {
    const tap::WindowCallbacks* callbacks = tap::Window(window);
    if (!callbacks || callbacks->parent != 0) continue;
    glutSetWindow(window);
    const Window drawable = glXGetCurrentDrawable();
    XWindowAttributes attributes;
    if (!drawable || !XGetWindowAttributes(display, drawable, &attributes) ||
        attributes.map_state != IsViewable)
      continue;
    XImage* image =
        XGetImage(display, drawable, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) continue;
    std::uint64_t hash = 1469598103934665603ull;
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y) & 0xFFFFFF;
        hash = (hash ^ pixel) * 1099511628211ull;
      }
    XDestroyImage(image);
    std::fprintf(options_.pictureLog, "%d %s %016llx\n", event.line, NameOfWindow(window).c_str(),
                 static_cast<unsigned long long>(hash));
  }
  std::fflush(options_.pictureLog);
  if (current) glutSetWindow(current);
}

void Replayer::IdleSteps(long count) {
  void (*idle)() = tap::IdleFunction();
  for (long step = 0; step < count; ++step) {
    Pump();
    if (idle) idle();
  }
}

void Replayer::Wait(long milliseconds) {
  if (!options_.realtime) return;
  const double until = lastEventTime_ + milliseconds / 1000.0;
  while (Now() < until) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}
