#pragma once
// Records a painting session as it happens: every event a person gives the
// painter's windows becomes a script line, written and flushed at once, so
// an Esc or a crash loses nothing. Changes to panel controls are recorded
// as the change they made (set, toggle, click), not as the clicks and keys
// inside the control, so a replay does not depend on timing; the idle steps
// between events are recorded as "frames", pauses as "wait".

#include <chrono>
#include <cstdio>
#include <optional>

#include "play/glut_tap.h"
#include "play/script.h"

class Recorder : public tap::Listener {
 public:
  // Appends to `journal`, which stays open and is flushed per line.
  explicit Recorder(std::FILE* journal);
  ~Recorder() override;

  // Starts listening to GLUT and to the panels' controls.
  void Start();

  void Mouse(int window, int button, int state, int x, int y, int modifiers) override;
  void Motion(int window, int x, int y, bool dragging) override;
  void MotionHandled(int window) override;
  void Keyboard(int window, unsigned char key, int modifiers) override;
  void Special(int window, int key, int modifiers) override;
  void Reshape(int window, int width, int height) override;
  void MenuChosen(int window, int menu, int value) override;
  void Idle() override { ++idleSteps_; }

  // One event of `window`, with the frames, wait and window lines before it.
  void Write(int window, const Event& event);

 private:
  void WriteLine(const std::string& line);

  std::FILE* journal_;
  int window_ = 0;  // the window of the last `window` line
  long idleSteps_ = 0;
  std::chrono::steady_clock::time_point last_;
  // The main view's size as last reshaped: its first reshape is its
  // opening, and it gives itself its size again after every reshape.
  int mainWidth_ = 0, mainHeight_ = 0;
  // A drag's motion in the main view, written once the painter has handled
  // it: a pen's, with the pressure it painted with.
  std::optional<Event> heldMove_;
};
