#include "play/virtual_display.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

pid_t Server = 0;
Display* Held = nullptr;  // see HoldDisplay

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

// In the forked child, before Xvfb replaces it. The kernel sends the server
// SIGTERM (on which it removes its lock file and socket) when kelvra-play
// ends in any way, a crash or SIGKILL included, where exit handlers never
// run. Should kelvra-play have gone before the request took hold, the child
// has a new parent already and gives up. Nothing here allocates memory:
// the forked copy must not rely on the allocator's state.
[[noreturn]] void BecomeServer(pid_t player, int closeDescriptor, char** argv) {
  if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != player) ::_exit(127);
  ::close(closeDescriptor);
  const int quiet = ::open("/dev/null", O_WRONLY);
  if (quiet >= 0) {
    ::dup2(quiet, STDOUT_FILENO);
    ::dup2(quiet, STDERR_FILENO);
  }
  ::execvp(argv[0], argv);
  // The pipe closes unanswered, which the parent reads as "did not start";
  // 127 tells it why.
  ::_exit(127);
}

// Stops a server that never said its number; returns whether that was
// because Xvfb could not be run at all.
bool StopSilentServer() {
  ::kill(Server, SIGTERM);
  int status = 0;
  const bool neverRan =
      ::waitpid(Server, &status, 0) == Server && WIFEXITED(status) && WEXITSTATUS(status) == 127;
  Server = 0;
  return neverRan;
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
  // The death signal is tied to the thread that forks: this is the main
  // thread, which lives as long as the process.
  const pid_t player = ::getpid();
  Server = ::fork();
  if (Server == 0) BecomeServer(player, channel[0], argv.data());
  const int forkError = errno;
  ::close(channel[1]);
  if (Server < 0) {
    ::close(channel[0]);
    Server = 0;
    if (error) *error = std::string("cannot start Xvfb: ") + std::strerror(forkError);
    return false;
  }
  const std::string number = ReadDisplayNumber(channel[0]);
  ::close(channel[0]);
  if (number.empty()) {
    const bool neverRan = StopSilentServer();
    if (error)
      *error = neverRan ? "cannot start Xvfb (install the xvfb package)" : "Xvfb did not start";
    return false;
  }
  std::atexit(StopServer);
  ::setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

std::string HoldDisplay(const char* name) {
  Held = ::XOpenDisplay(name);
  if (Held) return std::string();
  const std::string shown = ::XDisplayName(name);
  if (shown.empty()) return "no display: DISPLAY is not set";
  return "cannot open the display " + shown;
}

void ReleaseDisplay() {
  if (Held) ::XCloseDisplay(Held);
  Held = nullptr;
}
