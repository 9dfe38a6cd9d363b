#include "common/random.h"

int RandomGenerator::Next() {
  state_ = state_ * 214013u + 2531011u;
  return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

float RandomGenerator::Unit() { return static_cast<float>(Next()) * 3.0518509e-05f; }
