#pragma once
// A vector within a tolerance of the one worked out by hand, every
// component; a failure shows both.

#include <gtest/gtest.h>

#include <cmath>

#include "common/vec4.h"

inline testing::AssertionResult Near(const Vec4& actual, const Vec4& expected, double tolerance) {
  const float got[4] = {actual.x, actual.y, actual.z, actual.w};
  const float want[4] = {expected.x, expected.y, expected.z, expected.w};
  for (int i = 0; i < 4; ++i)
    if (!(std::fabs(got[i] - want[i]) <= tolerance))
      return testing::AssertionFailure() << "(" << got[0] << ", " << got[1] << ", " << got[2]
                                         << ", " << got[3] << ") instead of (" << want[0] << ", "
                                         << want[1] << ", " << want[2] << ", " << want[3] << ")";
  return testing::AssertionSuccess();
}
