#pragma once
// Inversion of a 4 × 4 matrix of doubles, used by the Camera panel to carry
// the main view's model-view and projection matrices back into world space.
// Pure computation: no GL.

// Inverts `in` into `out` by Gauss–Jordan elimination with partial pivoting
// (the largest absolute value of the column wins, the first row on ties).
// The layout does not matter (row- or column-major, the inverse of the
// transpose is the transpose of the inverse), as long as both agree.
// Returns false when a pivot is exactly zero (the matrix is singular); `out`
// then holds a partial result and must not be used.
bool InvertMatrix4(const double in[16], double out[16]);
