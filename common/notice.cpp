#include "common/notice.h"

#include <cstdio>

namespace {

std::string& ProgramName() {
  static std::string name = "kelvra";
  return name;
}

}  // namespace

void SetNoticeName(const std::string& programName) { ProgramName() = programName; }

void Notice(const std::string& line) {
  std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), line.c_str());
  std::fflush(stderr);
}
