#include "app/pen_reader.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <bitset>
#include <map>

struct PenReader::Connection {
  Display* display = nullptr;
  int opcode = 0;  // the extension's major opcode: its events carry it
  std::map<unsigned long, std::string> atomNames;
  ~Connection() {
    if (display) XCloseDisplay(display);
  }
};

namespace {

PenEvent EventOf(const XIRawEvent& e) {
  PenEvent event;
  event.source = e.sourceid;
  event.valuatorMask.assign(e.valuators.mask, e.valuators.mask + e.valuators.mask_len);
  std::size_t count = 0;
  for (std::uint8_t byte : event.valuatorMask) count += std::bitset<8>(byte).count();
  event.values.assign(e.valuators.values, e.valuators.values + count);
  return event;
}

}  // namespace

std::unique_ptr<PenReader> PenReader::Open(const char* displayName) {
  auto connection = std::make_unique<Connection>();
  connection->display = XOpenDisplay(displayName);
  if (!connection->display) return nullptr;
  Display* display = connection->display;
  int event = 0, error = 0;
  // 2.2: raw events are delivered during grabs from 2.1 on.
  int major = 2, minor = 2;
  if (!XQueryExtension(display, "XInputExtension", &connection->opcode, &event, &error) ||
      XIQueryVersion(display, &major, &minor) != Success || major * 100 + minor < 202)
    return nullptr;
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  for (int type : {XI_RawMotion, XI_HierarchyChanged, XI_DeviceChanged}) XISetMask(bits, type);
  XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
  std::unique_ptr<PenReader> reader(new PenReader(std::move(connection)));
  reader->DescribeDevices();
  XFlush(display);
  return reader;
}

PenReader::PenReader(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

PenReader::~PenReader() = default;

std::string PenReader::AtomName(unsigned long atom) {
  if (atom == None) return {};
  auto found = connection_->atomNames.find(atom);
  if (found != connection_->atomNames.end()) return found->second;
  std::string name;
  if (char* text = XGetAtomName(connection_->display, atom)) {
    name = text;
    XFree(text);
  }
  return connection_->atomNames[atom] = name;
}

void PenReader::DescribeDevices() {
  int count = 0;
  XIDeviceInfo* info = XIQueryDevice(connection_->display, XIAllDevices, &count);
  std::vector<PenDevice> devices;
  for (int i = 0; i < count; ++i) {
    if (!info[i].enabled) continue;
    PenDevice device{info[i].deviceid, {}};
    for (int c = 0; c < info[i].num_classes; ++c) {
      if (info[i].classes[c]->type != XIValuatorClass) continue;
      const auto* v = reinterpret_cast<const XIValuatorClassInfo*>(info[i].classes[c]);
      device.axes.push_back({v->number, AtomName(v->label), v->min, v->max});
    }
    devices.push_back(std::move(device));
  }
  if (info) XIFreeDeviceInfo(info);
  translator_.SetDevices(std::move(devices));
}

void PenReader::Read(bool roundTrip, std::vector<PenSample>& samples) {
  Display* display = connection_->display;
  if (roundTrip) XSync(display, False);
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    XGenericEventCookie& cookie = event.xcookie;
    if (cookie.type != GenericEvent || cookie.extension != connection_->opcode ||
        !XGetEventData(display, &cookie))
      continue;
    if (cookie.evtype == XI_RawMotion) {
      const auto& e = *static_cast<const XIRawEvent*>(cookie.data);
      // A device not seen before may have come between two changes told.
      if (!translator_.Knows(e.sourceid)) DescribeDevices();
      samples.push_back(translator_.Translate(EventOf(e)));
    } else {
      DescribeDevices();  // the hierarchy or a device changed
    }
    XFreeEventData(display, &cookie);
  }
}
