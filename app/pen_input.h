#pragma once
// A pen's pressure for the motions of the main view.
//
// One physical motion adds exactly one node, and it comes, pen or mouse,
// from the motion GLUT delivers to OnMotion, where the pointer is. A pen's
// motion reaches the painter twice: as that core motion and as the raw
// motion the extension reports with the pen's axes (read by the PenReader).
// The raw one gives only the pressure, and the two are paired in order:
// OnMotion first reads the raw motions that have arrived (after a round
// trip while a pen is plugged in, so that the raw twin of the core motion
// at hand is among them) and takes the oldest unpaired one. When it came
// from a device with a pressure axis the node is painted with that
// pressure through OnPenMotion; otherwise (a mouse, a touchpad, nothing
// reading pens, or a motion no device made: a program warping the pointer)
// the node gets pressure 1 as it always did. Passive motions of the main
// view take their twins too. Raw motions of the pointer over other windows
// have no twin here: GLUT has handled every core motion that came before
// an idle step, so the idle step forgets the raw motions read before it.

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "app/pen_reader.h"

class PenInput {
 public:
  // Starts reading pens on the display of the current GL window; a display
  // without the extension leaves the mouse alone.
  void Open();
  void Close();

  // In OnMotion: the pressure of the motion being handled, none when it
  // came from a device without one.
  std::optional<float> MotionPressure();
  // In OnPassiveMotion: takes the motion's twin.
  void PassiveMotion();
  // The answer of the last MotionPressure (the recorder's).
  std::optional<float> LastPressure() const { return pressure_; }
  // In the idle step: forgets the raw motions whose twins went elsewhere
  // and reads what arrived since.
  void KeepUp();

 private:
  void Read(bool roundTrip);
  std::optional<float> TakeTwin();

  std::unique_ptr<PenReader> reader_;
  std::vector<PenSample> samples_;  // read, kept between reads to save allocations
  // The pressures of the raw motions read and not yet paired, oldest first.
  std::deque<std::optional<float>> unpaired_;
  std::optional<float> pressure_;  // of the last motion handled
};

// The painter's one PenInput.
PenInput& ThePen();
