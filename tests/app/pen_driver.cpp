// A pen that is not there: drives the X server's test input driver through
// its socket, so that a real XI2 device with an "Abs Pressure" axis moves,
// presses and releases as the lines on standard input say, in their order.
//
//   pen_driver SOCKET SCREEN_WIDTH SCREEN_HEIGHT < lines
//   move X Y [PRESSURE]   the pen to screen pixel (X, Y), the pressure in the
//                         driver's units (0..1000); none: left as it was
//   down | up             the tip (button 1) pressed or lifted
//
// Pixels are sent as the middle of the pixel, so the server's scaling of
// the axis range onto the screen cannot round them into the next one.
// Exit status: 0, or 1 with the reason on stderr.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xorg/xf86-input-inputtest-protocol.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr double kAxisMax = 65535.0;  // the driver's range of Abs X and Abs Y
constexpr int kPressureAxis = 4;      // after x, y and the two scroll axes

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "pen_driver: %s\n", what.c_str());
  std::exit(1);
}

// A message of the driver's protocol, its header filled in.
template <typename Message>
Message Header(xf86ITEventType type) {
  Message message{};
  message.header.length = sizeof message;
  message.header.type = type;
  return message;
}
template <typename Message>
void Send(int socket, const Message& message) {
  if (::write(socket, &message, sizeof message) != static_cast<ssize_t>(sizeof message))
    Fail(std::string("cannot talk to the driver: ") + std::strerror(errno));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) Fail("usage: pen_driver SOCKET SCREEN_WIDTH SCREEN_HEIGHT < lines");
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", argv[1]);
  if (s < 0 || ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    Fail(std::string("cannot connect to ") + argv[1] + ": " + std::strerror(errno));
  auto version = Header<xf86ITEventClientVersion>(XF86IT_EVENT_CLIENT_VERSION);
  version.major = XF86IT_PROTOCOL_VERSION_MAJOR;
  version.minor = XF86IT_PROTOCOL_VERSION_MINOR;
  Send(s, version);  // its answer is left unread: a pen that does not move fails the test
  const double width = std::stod(argv[2]), height = std::stod(argv[3]);
  for (std::string line, command; std::getline(std::cin, line);) {
    std::istringstream words(line);
    double x = 0, y = 0, pressure = 0;
    if (!(words >> command)) continue;
    if (command == "move" && words >> x >> y) {
      auto motion = Header<xf86ITEventMotion>(XF86IT_EVENT_MOTION);
      motion.is_absolute = 1;
      const auto set = [&motion](int axis, double value) {
        motion.valuators.mask[axis / 8] |= static_cast<std::uint8_t>(1u << (axis % 8));
        motion.valuators.valuators[axis] = value;
      };
      set(0, (x + 0.5) * kAxisMax / width);
      set(1, (y + 0.5) * kAxisMax / height);
      if (words >> pressure) set(kPressureAxis, pressure);
      Send(s, motion);
    } else if (command == "down" || command == "up") {
      auto button = Header<xf86ITEventButton>(XF86IT_EVENT_BUTTON);
      button.button = 1;
      button.is_press = command == "down";
      Send(s, button);
    } else {
      Fail("unknown line: " + line);
    }
  }
  return 0;
}
