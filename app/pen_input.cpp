#include "app/pen_input.h"

#include <GL/glx.h>

PenInput& ThePen() {
  // Made on first use and never destroyed: GLUT may call back during exit.
  static PenInput* pen = new PenInput();
  return *pen;
}

void PenInput::Open() {
  // The server GLUT talks to, whatever -display named.
  Display* display = glXGetCurrentDisplay();
  if (display) reader_ = PenReader::Open(DisplayString(display));
}

void PenInput::Close() {
  reader_.reset();
  unpaired_.clear();
  pressure_.reset();
}

void PenInput::Read(bool roundTrip) {
  if (!reader_) return;
  samples_.clear();
  reader_->Read(roundTrip, samples_);
  for (const PenSample& sample : samples_)
    if (sample.moved) unpaired_.push_back(sample.pressure);
}

std::optional<float> PenInput::TakeTwin() {
  pressure_.reset();
  if (!unpaired_.empty()) {
    pressure_ = unpaired_.front();
    unpaired_.pop_front();
  }
  return pressure_;
}

std::optional<float> PenInput::MotionPressure() {
  // The round trip costs a message to the server and back; without a pen
  // no motion needs it.
  Read(reader_ && reader_->AnyPen());
  return TakeTwin();
}

void PenInput::PassiveMotion() {
  Read(reader_ && reader_->AnyPen());
  TakeTwin();
}

void PenInput::KeepUp() {
  unpaired_.clear();
  Read(false);
}
