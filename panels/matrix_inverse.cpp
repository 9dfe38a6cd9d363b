#include "panels/matrix_inverse.h"

#include <cmath>
#include <utility>

namespace {

double& At(double m[16], int row, int column) { return m[row * 4 + column]; }

void SwapRows(double m[16], int a, int b) {
  for (int c = 0; c < 4; ++c) std::swap(At(m, a, c), At(m, b, c));
}

}  // namespace

bool InvertMatrix4(const double in[16], double out[16]) {
  double work[16];
  for (int i = 0; i < 16; ++i) {
    work[i] = in[i];
    out[i] = (i % 5 == 0) ? 1.0 : 0.0;
  }
  for (int column = 0; column < 4; ++column) {
    int pivotRow = column;
    for (int row = column + 1; row < 4; ++row) {
      if (std::fabs(At(work, row, column)) > std::fabs(At(work, pivotRow, column))) pivotRow = row;
    }
    SwapRows(work, column, pivotRow);
    SwapRows(out, column, pivotRow);

    const double pivot = At(work, column, column);
    if (pivot == 0.0) return false;
    for (int c = 0; c < 4; ++c) {
      At(work, column, c) /= pivot;
      At(out, column, c) /= pivot;
    }
    for (int row = 0; row < 4; ++row) {
      if (row == column) continue;
      const double factor = At(work, row, column);
      if (factor == 0.0) continue;
      for (int c = 0; c < 4; ++c) {
        At(work, row, c) -= factor * At(work, column, c);
        At(out, row, c) -= factor * At(out, column, c);
      }
    }
  }
  return true;
}
