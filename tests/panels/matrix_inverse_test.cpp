#include "panels/matrix_inverse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace {

void Multiply(const double a[16], const double b[16], double out[16]) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[r * 4 + k] * b[k * 4 + c];
      out[r * 4 + c] = sum;
    }
}

// Hand-computed inverses, in the column-major layout the main view stores,
// and singular matrices, which have none.
TEST(InvertMatrix4, KnownInversesAndSingularMatrices) {
  // A matrix and its inverse; none (empty) for a singular one.
  const std::pair<std::vector<double>, std::vector<double>> cases[] = {
      // Translation by (2, -3, 5).
      {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, -3, 5, 1},
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -2, 3, -5, 1}},
      // A swap of x and w, zero on the diagonal: only row exchanges get past
      // the first column.
      {{0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0},
       {0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0}},
      // gluPerspective(90, 1, 1, 3): a = -(3+1)/(3-1) = -2, b = -2·3·1/(3-1) = -3.
      {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0},
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, -1.0 / 3, 0, 0, -1, 2.0 / 3}},
      {std::vector<double>(16, 0.0), {}},
      {{1, 2, 1, 4, 5, 6, 5, 8, 9, 1, 9, 3, 4, 5, 4, 7}, {}},  // two equal rows
      {{1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1}, {}},  // third column = first + second
  };
  for (const auto& [matrix, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(matrix));
    double inverse[16];
    ASSERT_EQ(InvertMatrix4(matrix.data(), inverse), !expected.empty());
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_NEAR(inverse[i], expected[i], 1e-12) << "element " << i;
  }
}

TEST(InvertMatrix4, ProductWithInverseIsIdentityOnRandomMatrices) {
  std::mt19937 random(1234);
  std::uniform_real_distribution<double> value(-10.0, 10.0);
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    double m[16];
    for (double& e : m) e = value(random);
    double inverse[16], left[16], right[16];
    ASSERT_TRUE(InvertMatrix4(m, inverse));
    Multiply(m, inverse, right);
    Multiply(inverse, m, left);
    for (int i = 0; i < 32; ++i)
      EXPECT_NEAR(i < 16 ? right[i] : left[i - 16], (i % 16) % 5 == 0 ? 1.0 : 0.0, 1e-9) << i;
  }
}

}  // namespace
