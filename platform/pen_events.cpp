#include "platform/pen_events.h"

#include <algorithm>

namespace {

bool BitSet(const std::vector<std::uint8_t>& mask, int bit) {
  const std::size_t byte = static_cast<std::size_t>(bit) / 8;
  return byte < mask.size() && (mask[byte] >> (bit % 8)) & 1;
}

const PenAxis* PressureAxis(const PenDevice& device) {
  for (const PenAxis& axis : device.axes)
    if (axis.label == kPressureAxisLabel) return &axis;
  return nullptr;
}

}  // namespace

void PenTranslator::SetDevices(std::vector<PenDevice> devices) {
  devices_ = std::move(devices);
  for (auto it = last_.begin(); it != last_.end();)
    it = Knows(it->first.first) ? std::next(it) : last_.erase(it);
}

bool PenTranslator::Knows(int device) const { return Device(device) != nullptr; }

bool PenTranslator::AnyPen() const {
  return std::any_of(devices_.begin(), devices_.end(),
                     [](const PenDevice& d) { return PressureAxis(d) != nullptr; });
}

const PenDevice* PenTranslator::Device(int id) const {
  for (const PenDevice& device : devices_)
    if (device.id == id) return &device;
  return nullptr;
}

PenSample PenTranslator::Translate(const PenEvent& event) {
  PenSample sample;
  sample.device = event.source;
  sample.moved = BitSet(event.valuatorMask, 0) || BitSet(event.valuatorMask, 1);
  // The values are packed: the k-th set bit's value is values[k]. A mask
  // claiming more axes than values were sent stops at the last value.
  std::size_t next = 0;
  const int bits = static_cast<int>(event.valuatorMask.size()) * 8;
  for (int axis = 0; axis < bits && next < event.values.size(); ++axis)
    if (BitSet(event.valuatorMask, axis)) last_[{event.source, axis}] = event.values[next++];

  const PenDevice* device = Device(event.source);
  const PenAxis* pressure = device ? PressureAxis(*device) : nullptr;
  if (!pressure || !(pressure->max > pressure->min)) return sample;
  const auto value = last_.find({event.source, pressure->number});
  if (value == last_.end()) return sample;
  const double scaled = (value->second - pressure->min) / (pressure->max - pressure->min);
  // NaN from the device is no pressure rather than a poisoned stroke.
  if (scaled == scaled) sample.pressure = static_cast<float>(std::clamp(scaled, 0.0, 1.0));
  return sample;
}
