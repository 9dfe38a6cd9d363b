#pragma once
// The painter's console lines go nowhere while one lives: a benchmark's
// canvases and replays are not what it measures, and a brush's picture is
// built from a sample stroke no person painted. What is printed after the
// object goes reaches the console again. Standard output only: notices on
// stderr are untouched.

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
