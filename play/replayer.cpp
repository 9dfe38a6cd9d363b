#include "play/replayer.h"

// Before GLX's headers: Xlib's IsModifierKey macro would rename a function of it.
#include "app/input.h"

#include <GL/freeglut.h>
#include <GL/glx.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "actions/actions.h"
#include "app/redisplay.h"
#include "common/notice.h"
#include "export/png.h"
#include "panels/brush_window.h"
#include "play/controls.h"
#include "play/glut_tap.h"
#include "play/picture_log.h"
#include "play/window_capture.h"
#include "play/windows.h"
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

// `line` with every `path` in it written as `name`.
std::string WithFileNamed(std::string line, const std::string& path, const std::string& name) {
  for (std::size_t at = line.find(path); at != std::string::npos;
       at = line.find(path, at + name.size()))
    line.replace(at, path.size(), name);
  return line;
}

}  // namespace

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

std::string Replayer::Resolve(const std::string& file) const {
  std::filesystem::path path = file;
  if (path.is_relative() && !options_.baseFolder.empty()) path = options_.baseFolder / path;
  return path.string();
}

int Replayer::Run() {
  window_ = AppState().windows.main.id;
  Settle();
  lastEventTime_ = Now();
  if (extras_.afterEvents) extras_.afterEvents(0);
  const std::size_t total = events_.size();
  for (std::size_t i = 0; i < total && !stopped_; ++i) {
    const Event& event = events_[i];
    const std::string problem = Apply(event);
    if (!problem.empty()) {
      EndProgressLine();
      const std::string line = event.line > 0 ? ":" + std::to_string(event.line) : "";
      std::fprintf(stderr, "%s%s: %s\n", options_.scriptName.c_str(), line.c_str(),
                   problem.c_str());
      return 1;
    }
    if (event.kind != EventKind::kFrames && event.kind != EventKind::kWait) lastEventTime_ = Now();
    if (options_.pictureLog) LogPictures(options_.pictureLog, event.line);
    if (extras_.afterEvents) extras_.afterEvents(i + 1);
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
    case EventKind::kClick:
    case EventKind::kActivate: {
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
    case EventKind::kOpen:
      return PaintingFile(event, extras_.open);
    case EventKind::kSave:
      return PaintingFile(event, extras_.save);
    case EventKind::kFilm:
      return Film(event);
    case EventKind::kWheel:
      return TurnWheel(event);
    case EventKind::kMode:
      SetPaintUnderPointer(event.count != 0);
      return {};
    case EventKind::kBrush:
      return ApplyBrushNamed(event.text);
  }
  return "an event this kelvra-play does not know";
}

std::string Replayer::PointerEvent(const Event& event) {
  // A pen's move goes where the pen reader hands a live one.
  if (event.kind == EventKind::kMove && !event.values.empty()) {
    if (window_ != AppState().windows.main.id) return "a pen moves over the main window only";
    glutSetWindow(window_);
    OnPenMotion(event.x, event.y, static_cast<float>(event.values[0]));
    return {};
  }
  pointers_.Deliver(window_, event);
  return {};
}

// A notch of the wheel is a press and a release of its button, as GLUT
// hands one to the mouse callback, with the modifier held.
std::string Replayer::TurnWheel(const Event& event) {
  Event button = event;
  button.kind = EventKind::kPress;
  pointers_.Deliver(window_, button);
  button.kind = EventKind::kRelease;
  pointers_.Deliver(window_, button);
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
  int x = 0, y = 0;
  const int target = pointers_.KeyTarget(window_, &x, &y);
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

// The film tells its progress and where it went on stderr as it goes; a
// failure is the script line's message. Both name the file as the script
// does.
std::string Replayer::Film(const Event& event) {
  if (!extras_.film) return "film is not available here";
  EndProgressLine();
  const std::string path = Resolve(event.text);
  return WithFileNamed(extras_.film(path, event.text), path, event.text);
}

// Open and Save say what they did in a line of their own, or in one line
// what went wrong: that line is then the script line's message instead,
// not said a second time. The file is named as the script names it.
std::string Replayer::PaintingFile(const Event& event,
                                   const std::function<bool(const std::string&)>& openOrSave) {
  if (!openOrSave) return FormatEvent(event) + " is not available here";
  const std::string path = Resolve(event.text);
  std::vector<std::string> said;
  bool done = false;
  {
    CaughtNotices caught;
    done = openOrSave(path);
    said = caught.Lines();
  }
  for (std::string& line : said) line = WithFileNamed(line, path, event.text);
  if (!done) return said.empty() ? FormatEvent(event) + " failed" : said.back();
  EndProgressLine();
  for (const std::string& line : said) Notice(line);
  return {};
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
