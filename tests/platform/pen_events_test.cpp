#include "platform/pen_events.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

PenDevice Device(int id, int pressureAxis, double min, double max) {
  PenDevice device{id, {{0, "Abs X", 0, 65535}, {1, "Abs Y", 0, 65535}}};
  if (pressureAxis >= 0) device.axes.push_back({pressureAxis, kPressureAxisLabel, min, max});
  return device;
}

// An event of `source` carrying the (axis, value) pairs given, packed as the
// extension packs them: one value per set bit of the mask, in bit order.
PenEvent Event(int source, std::vector<std::pair<int, double>> axes) {
  PenEvent event{source, {}, {}};
  std::sort(axes.begin(), axes.end());
  for (const auto& [axis, value] : axes) {
    if (event.valuatorMask.size() <= static_cast<std::size_t>(axis / 8))
      event.valuatorMask.resize(axis / 8 + 1);
    event.valuatorMask[axis / 8] |= static_cast<std::uint8_t>(1 << (axis % 8));
    event.values.push_back(value);
  }
  return event;
}

// Two pens of different ranges and pressure axes, a mouse and a device not
// (yet) described: each event's pressure in turn, none where there is no
// pressure to give.
TEST(PenTranslator, PressureFromEachDevicesLastValueScaledByItsRange) {
  PenTranslator pens;
  // Device 9 has its pressure on axis 2 over 0..1000; device 11 on axis 12
  // over 0..2048 (its mask spans two bytes); device 7 is a mouse.
  pens.SetDevices({Device(9, 2, 0, 1000), Device(11, 12, 0, 2048), Device(7, -1, 0, 0)});
  EXPECT_TRUE(pens.AnyPen());
  const struct { const char* what; PenEvent event; std::optional<float> pressure; } steps[] = {
      {"a pen's first motion", Event(9, {{0, 100}, {1, 200}, {2, 250}}), 0.25f},
      {"pressure left out: the last value stands", Event(9, {{0, 300}}), 0.25f},
      {"another pen, its own range", Event(11, {{0, 5}, {12, 1024}}), 0.5f},
      {"the first pen is not touched by it", Event(9, {{1, 7}}), 0.25f},
      {"below the range", Event(9, {{2, -40}}), 0.0f},
      {"above the range", Event(11, {{12, 4096}}), 1.0f},
      {"a mouse gives none", Event(7, {{0, 3}, {2, 500}}), std::nullopt},
      {"a device not described gives none", Event(15, {{2, 500}}), std::nullopt},
      {"a mask longer than its values", PenEvent{9, {0x07}, {1, 2}}, 0.0f},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    const PenSample sample = pens.Translate(step.event);
    EXPECT_EQ(sample.device, step.event.source);
    EXPECT_EQ(sample.moved, !step.event.valuatorMask.empty() && (step.event.valuatorMask[0] & 3));
    EXPECT_EQ(sample.pressure, step.pressure);
  }
}

// Ranges come from the device as it is described now: pressures reported
// before a device was described count once it is; a device described again
// with another range scales its kept value by the new one; a device gone
// forgets its values; an empty range gives no pressure.
TEST(PenTranslator, RangesAreReadAgainWhenDevicesChange) {
  PenTranslator pens;
  EXPECT_FALSE(pens.Translate(Event(9, {{2, 500}})).pressure);
  pens.SetDevices({Device(9, 2, 0, 1000)});
  EXPECT_EQ(pens.Translate(Event(9, {{0, 1}})).pressure, 0.5f);
  pens.SetDevices({Device(9, 2, 0, 2000)});
  EXPECT_EQ(pens.Translate(Event(9, {{0, 1}})).pressure, 0.25f);
  pens.SetDevices({Device(7, -1, 0, 0)});
  EXPECT_FALSE(pens.AnyPen());
  EXPECT_FALSE(pens.Knows(9));
  pens.SetDevices({Device(9, 2, 0, 1000)});
  EXPECT_FALSE(pens.Translate(Event(9, {{0, 1}})).pressure) << "its old value is gone";
  pens.SetDevices({Device(9, 2, 5, 5)});
  EXPECT_FALSE(pens.Translate(Event(9, {{2, 5}})).pressure);
}

}  // namespace
