#pragma once
// Plays a session script into the running painter. Each event reaches the
// program through the functions GLUT would call for a person's input (or,
// for panel controls, as the control layer applies a person's change), and
// GLUT's own event processing runs between idle steps just as in its main
// loop: pending input and redisplays, then one idle step.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "play/pointer_routing.h"
#include "play/script.h"

struct ReplayOptions {
  std::string scriptName;  // for "SCRIPT:LINE: problem" messages
  std::string baseFolder;  // where relative file names of the script point
  bool realtime = false;   // honour the script's waits
  bool progress = false;   // a progress line on stderr
  // When set, after every event a line per open window with a fingerprint
  // of what the screen shows of it (its control subwindows included), read
  // without drawing anything: what comparing redraws with and without
  // change tracking needs.
  std::FILE* pictureLog = nullptr;
};

// kelvra-play's own lines, which the painter itself does not have. Each
// returns what went wrong, or an empty text.
struct ReplayExtras {
  std::function<std::string()> undo;
  std::function<std::string()> redo;
  std::function<std::string(const std::string& path)> exportTo;
  // The painter's own Open and Save of a painting file, which tell what
  // they did or what went wrong through Notice; false on failure.
  std::function<bool(const std::string& path)> open;
  std::function<bool(const std::string& path)> save;
  // A film of the painting into `path`, called `name` in what it tells.
  std::function<std::string(const std::string& path, const std::string& name)> film;
  // Told after the windows settled (0) and after every event played: how
  // many have (a film of the replay takes its frames here).
  std::function<void(std::size_t done)> afterEvents;
};

class Replayer {
 public:
  Replayer(std::vector<Event> events, ReplayOptions options, ReplayExtras extras = {});

  // Plays every event, or up to an Esc in the main view. Returns 0, or 1
  // after printing "SCRIPT:LINE: problem" on stderr ("SCRIPT: problem" for
  // an event made in code).
  int Run();

  // Lets the windows open and take their first sizes.
  static void Settle();

 private:
  // What went wrong with one event, or an empty text.
  std::string Apply(const Event& event);
  std::string PointerEvent(const Event& event);
  std::string TurnWheel(const Event& event);
  std::string Keys(const Event& event);
  std::string ChooseMenu(const Event& event);
  std::string Screenshot(const Event& event);
  std::string Export(const Event& event);
  std::string Film(const Event& event);
  std::string PaintingFile(const Event& event,
                           const std::function<bool(const std::string&)>& openOrSave);
  // Ends the progress line, if one is showing, before other text.
  void EndProgressLine();
  void IdleSteps(long count);
  void Wait(long milliseconds);
  std::string Resolve(const std::string& file) const;

  std::vector<Event> events_;
  ReplayOptions options_;
  ReplayExtras extras_;
  int window_ = 0;  // of the last `window` line; the main view at first
  bool stopped_ = false;
  bool progressShown_ = false;
  PointerRouting pointers_;
  double lastEventTime_ = 0;
};
