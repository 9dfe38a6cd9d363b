#include "common/progress.h"

#include <cstdio>

void ReportProgress(float done, float total) {
  if (total == 0.0f) return;
  std::printf("\r\r\t%.2f", done / total * 100.0f);
  std::fflush(stdout);
}

void PrintLine(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}
