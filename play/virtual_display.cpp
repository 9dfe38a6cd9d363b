#include "play/virtual_display.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

pid_t Server = 0;

void StopServer() {
  if (Server <= 0) return;
  ::kill(Server, SIGTERM);
  ::waitpid(Server, nullptr, 0);
  Server = 0;
}

// Reads the display number Xvfb writes to the pipe once it accepts
// connections; empty when it never does.
std::string ReadDisplayNumber(int descriptor) {
  std::string number;
  char c = 0;
  while (::read(descriptor, &c, 1) == 1) {
    if (c == '\n') break;
    number += c;
  }
  return number;
}

}  // namespace

bool EnsureDisplay(std::string* error) {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return true;
  int channel[2];
  if (::pipe(channel) != 0) {
    if (error) *error = std::string("cannot start Xvfb: ") + std::strerror(errno);
    return false;
  }
  // -displayfd lets the server pick a free number and say which.
  const std::string fd = std::to_string(channel[1]);
  std::vector<std::string> words{"Xvfb",         "-displayfd", fd,    "-screen", "0",
                                 "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, channel[0]);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const int spawned = ::posix_spawnp(&Server, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(channel[1]);
  if (spawned != 0) {
    ::close(channel[0]);
    Server = 0;
    if (error)
      *error =
          "cannot start Xvfb (install the xvfb package): " + std::string(std::strerror(spawned));
    return false;
  }
  const std::string number = ReadDisplayNumber(channel[0]);
  ::close(channel[0]);
  if (number.empty()) {
    StopServer();
    if (error) *error = "Xvfb did not start";
    return false;
  }
  std::atexit(StopServer);
  ::setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}
