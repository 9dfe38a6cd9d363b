#include "common/random.h"

#include <cstdint>

namespace {
std::uint32_t State = 1;
}

int RandomNext() {
  State = State * 214013u + 2531011u;
  return static_cast<int>((State >> 16) & 0x7FFFu);
}

float RandomUnit() { return static_cast<float>(RandomNext()) * 3.0518509e-05f; }

void RandomResetForTesting() { State = 1; }
