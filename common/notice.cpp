#include "common/notice.h"

#include <cstdio>

namespace {

// Never destroyed: the autosave's thread may still say something while exit
// destroys statics.
std::string& ProgramName() {
  static std::string* name = new std::string("kelvra");
  return *name;
}

thread_local CaughtNotices* Catching = nullptr;

}  // namespace

void SetNoticeName(const std::string& programName) { ProgramName() = programName; }

void Notice(const std::string& line) {
  if (Catching) {
    Catching->lines_.push_back(line);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), line.c_str());
  std::fflush(stderr);
}

CaughtNotices::CaughtNotices() : outer_(Catching) { Catching = this; }

CaughtNotices::~CaughtNotices() { Catching = outer_; }
