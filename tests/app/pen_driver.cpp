// A pen that is not there: drives the X server's test input driver through
// its socket, so that a real XI2 device with an "Abs Pressure" axis moves,
// presses and releases as the lines on standard input say. Each line waits
// until the server has handled it (the driver's wait-for-sync), then is
// echoed on standard output, so a script knows when its pen has moved.
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
#include <cstdio>
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

// All `size` bytes through the socket, read or written, or the program ends.
template <typename Transfer, typename Byte>
void Whole(Transfer transfer, int socket, Byte* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t done = transfer(socket, bytes, size);
    if (done < 0 && errno == EINTR) continue;
    if (done == 0) Fail("the driver closed the socket");
    if (done < 0) Fail(std::string("cannot talk to the driver: ") + std::strerror(errno));
    bytes += done;
    size -= static_cast<std::size_t>(done);
  }
}
void Send(int socket, const void* data, std::size_t size) {
  Whole(::write, socket, static_cast<const char*>(data), size);
}
void Receive(int socket, void* data, std::size_t size) {
  Whole(::read, socket, static_cast<char*>(data), size);
}

// A message of the driver's protocol, its header filled in.
template <typename Message>
Message Header(xf86ITEventType type) {
  Message message{};
  message.header.length = sizeof message;
  message.header.type = type;
  return message;
}

// Waits until the server has handled everything sent before.
void Sync(int socket) {
  const auto wait = Header<xf86ITEventWaitForSync>(XF86IT_EVENT_WAIT_FOR_SYNC);
  Send(socket, &wait, sizeof wait);
  xf86ITResponseSyncFinished done{};
  Receive(socket, &done, sizeof done);
  if (done.header.type != XF86IT_RESPONSE_SYNC_FINISHED) Fail("the driver did not sync");
}

void SetValuator(xf86ITValuatorData& data, int axis, double value) {
  data.mask[axis / 8] |= static_cast<std::uint8_t>(1u << (axis % 8));
  data.valuators[axis] = value;
}

int Connect(const char* path) {
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path);
  if (s < 0 || ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    Fail(std::string("cannot connect to ") + path + ": " + std::strerror(errno));
  auto version = Header<xf86ITEventClientVersion>(XF86IT_EVENT_CLIENT_VERSION);
  version.major = XF86IT_PROTOCOL_VERSION_MAJOR;
  version.minor = XF86IT_PROTOCOL_VERSION_MINOR;
  Send(s, &version, sizeof version);
  xf86ITResponseServerVersion answer{};
  Receive(s, &answer, sizeof answer);
  if (answer.header.type != XF86IT_RESPONSE_SERVER_VERSION) Fail("the driver gave no version");
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) Fail("usage: pen_driver SOCKET SCREEN_WIDTH SCREEN_HEIGHT < lines");
  const int socket = Connect(argv[1]);
  const double width = std::stod(argv[2]), height = std::stod(argv[3]);
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    if (!(words >> command)) continue;
    if (command == "move") {
      double x = 0, y = 0, pressure = 0;
      if (!(words >> x >> y)) Fail("expected move X Y [PRESSURE]: " + line);
      auto motion = Header<xf86ITEventMotion>(XF86IT_EVENT_MOTION);
      motion.is_absolute = 1;
      SetValuator(motion.valuators, 0, (x + 0.5) * kAxisMax / width);
      SetValuator(motion.valuators, 1, (y + 0.5) * kAxisMax / height);
      if (words >> pressure) SetValuator(motion.valuators, kPressureAxis, pressure);
      Send(socket, &motion, sizeof motion);
    } else if (command == "down" || command == "up") {
      auto button = Header<xf86ITEventButton>(XF86IT_EVENT_BUTTON);
      button.button = 1;
      button.is_press = command == "down";
      Send(socket, &button, sizeof button);
    } else {
      Fail("unknown line: " + line);
    }
    Sync(socket);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }
  ::close(socket);
  return 0;
}
