#pragma once
// Plays a session script into the running painter. Each event reaches the
// program through the functions GLUT would call for a person's input (or,
// for panel controls, as the control layer applies a person's change), and
// GLUT's own event processing runs between idle steps just as in its main
// loop: pending input and redisplays, then one idle step.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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
};

class Replayer {
 public:
  Replayer(std::vector<Event> events, ReplayOptions options, ReplayExtras extras = {});

  // Plays every event, or up to an Esc in the main view. Returns 0, or 1
  // after printing "SCRIPT:LINE: problem" on stderr.
  int Run();

  // Lets the windows open and take their first sizes.
  static void Settle();

 private:
  // What went wrong with one event, or an empty text.
  std::string Apply(const Event& event);
  std::string PointerEvent(const Event& event);
  std::string Keys(const Event& event);
  std::string ChooseMenu(const Event& event);
  std::string Screenshot(const Event& event);
  std::string Export(const Event& event);
  // Ends the progress line, if one is showing, before other text.
  void EndProgressLine();
  void IdleSteps(long count);
  void Wait(long milliseconds);
  std::string Resolve(const std::string& file) const;
  void LogPictures(const Event& event);

  std::vector<Event> events_;
  ReplayOptions options_;
  ReplayExtras extras_;
  int window_ = 0;  // of the last `window` line; the main view at first
  bool stopped_ = false;
  bool progressShown_ = false;
  struct Pointer {
    int x = 0, y = 0;
    int buttonsDown = 0;  // bit per button
    int grab = 0;         // the window a held button pressed in
    int grabX = 0, grabY = 0;
  };
  std::vector<std::pair<int, Pointer>> pointers_;
  Pointer& PointerOf(int window);
  double lastEventTime_ = 0;
};

// The picture of a window as a person sees it: the window with its control
// subwindows, freshly drawn; width × height × 3 bytes, top row first.
bool ReadWindowPicture(int window, int* width, int* height, std::vector<std::uint8_t>* rgb);
