#pragma once
// What every fuzz target shares: a broken rule stops the fuzzer (and fails
// the corpus test), and the document caps are small enough that no input
// takes more memory or time than the fuzzer allows for one run; the checks
// are the same as with the real caps.
#include "document/document.h"

inline void Check(bool rule) {
  if (!rule) __builtin_trap();
}

inline DocumentLimits FuzzLimits() {
  DocumentLimits limits;
  limits.meshBytesPerStroke = 32u << 20, limits.meshBytesPerPainting = 64u << 20;
  limits.strokesBytes = 16u << 20, limits.pictureBytes = 4u << 20, limits.thumbnailBytes = 1u << 20;
  return limits;
}
