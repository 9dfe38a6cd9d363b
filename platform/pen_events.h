#pragma once
// Pens from the X input extension's events, as plain data: what a device
// reported (the axes its valuator mask names) becomes a pen sample with a
// pressure in 0..1, or none. No X header here: the reader
// (app/pen_reader.h) copies each event into a PenEvent and each device's
// classes into a PenDevice, so the translation is tested without a server.
//
// Devices are told apart by the physical device an event came from (its
// source): a master pointer repeats its devices' events with their axes, so
// the source names whose axes they are.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The label the servers give a tablet's pressure axis.
inline constexpr const char* kPressureAxisLabel = "Abs Pressure";

struct PenAxis {
  int number = 0;     // the valuator's number in the device's events
  std::string label;  // the axis label's name; "" when unlabelled
  double min = 0.0, max = 0.0;
};

struct PenDevice {
  int id = 0;
  std::vector<PenAxis> axes;
};

// One motion event, as the extension delivers it.
struct PenEvent {
  int source = 0;  // the physical device
  // Valuators: bit N set when axis N is in the event; `values` holds one
  // number per set bit, in bit order. Axes that did not change are left out.
  std::vector<std::uint8_t> valuatorMask;
  std::vector<double> values;
};

struct PenSample {
  int device = 0;
  // The pointer moved: the event holds axis 0 or 1 (x, y). An event of the
  // other axes alone (the pressure changed, say) did not move it.
  bool moved = false;
  // The device's pressure scaled by its axis's range, held to 0..1; none
  // for a device without a pressure axis (a mouse, a touchpad) or one that
  // has not reported it yet.
  std::optional<float> pressure;
};

class PenTranslator {
 public:
  // The devices as they are now, replacing what was known. Last values of
  // devices still present are kept: a description read again after a
  // change does not make a pen forget its pressure.
  void SetDevices(std::vector<PenDevice> devices);
  bool Knows(int device) const;
  // Whether any device known has a pressure axis.
  bool AnyPen() const;
  PenSample Translate(const PenEvent& event);

 private:
  const PenDevice* Device(int id) const;

  std::vector<PenDevice> devices_;
  // Last value of each (device, axis): a valuator mask leaves out the axes
  // that did not change.
  std::map<std::pair<int, int>, double> last_;
};
