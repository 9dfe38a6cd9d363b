#pragma once
// The painter's console lines go nowhere while a benchmark builds its
// canvases and replays its events: they are not what is measured. The
// benchmark's own report still reaches the console once the object goes.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

class QuietConsole {
 public:
  QuietConsole() : saved_(::dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int nowhere = ::open("/dev/null", O_WRONLY);
    ::dup2(nowhere, STDOUT_FILENO);
    ::close(nowhere);
  }
  ~QuietConsole() {
    std::fflush(stdout);
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
  }
  QuietConsole(const QuietConsole&) = delete;
  QuietConsole& operator=(const QuietConsole&) = delete;

 private:
  int saved_;
};
