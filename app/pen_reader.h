#pragma once
// Reads pens through the X input extension (XI 2.2), on an X connection of
// its own: GLUT keeps its connection and hands out no extension events.
//
// It reads the devices' raw motions on the root window, not the motions
// delivered to the main view: freeglut selects the extension's button
// events on its windows itself, so a press there starts a grab for GLUT's
// connection, and while a button is held (all the time a stroke is
// painted) the window's motions reach no other client. Raw motions reach
// every client that asks, grab or not; they carry the axes' values, not a
// window position, which GLUT's own motion gives. Besides, it reads the
// hierarchy and device changes that say a tablet came, went or switched;
// the device classes (axis labels and ranges) are read when it opens and
// again at every such change, so a tablet plugged in while the painter runs
// is picked up.
//
// What a device reported becomes a PenSample through PenTranslator
// (platform/pen_events.h); this file only moves events out of Xlib.

#include <memory>
#include <string>
#include <vector>

#include "platform/pen_events.h"

class PenReader {
 public:
  // Opens a connection to `displayName` (nullptr: $DISPLAY). Null when the
  // display cannot be opened or has no XI 2.2: then nothing reads pens, and
  // the mouse paints alone.
  static std::unique_ptr<PenReader> Open(const char* displayName);
  ~PenReader();
  PenReader(const PenReader&) = delete;
  PenReader& operator=(const PenReader&) = delete;

  // Appends a sample for every raw motion that has arrived. With
  // `roundTrip` it first asks the server for everything it sent before
  // now, so that the events of a motion another connection has already
  // seen are there too.
  void Read(bool roundTrip, std::vector<PenSample>& samples);
  // Whether a device with a pressure axis is there.
  bool AnyPen() const { return translator_.AnyPen(); }

 private:
  struct Connection;
  explicit PenReader(std::unique_ptr<Connection> connection);
  void DescribeDevices();
  std::string AtomName(unsigned long atom);

  std::unique_ptr<Connection> connection_;
  PenTranslator translator_;
};
