#include "panels/matrix_inverse.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
  double inverse[16];
  for (const auto& [matrix, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(matrix));
    ASSERT_EQ(InvertMatrix4(matrix.data(), inverse), !expected.empty());
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_NEAR(inverse[i], expected[i], 1e-12) << i;
  }
}
