#pragma once
// The pseudo-random generator of stroke building: random node sizes and the
// particle scatter draw from it. Its state starts at 1 and the program never
// reseeds it, so a given sequence of user actions draws the same numbers on
// every run.

#include <cstdint>

class RandomGenerator {
 public:
  // state = state × 214013 + 2531011 (mod 2^32); returns (state >> 16) &
  // 0x7FFF, from 0 to 32767.
  int Next();
  // Next() × 3.0518509e-05f: a float from 0 to 1.
  float Unit();

  std::uint32_t State() const { return state_; }
  // Puts the generator where State() read it, so that a painting opened
  // again draws the numbers it would have drawn next.
  void SetState(std::uint32_t state) { state_ = state; }

 private:
  std::uint32_t state_ = 1;
};
