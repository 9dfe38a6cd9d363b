#pragma once
// The painting as a relief: the strokes' top surface seen from above,
// sampled on a square grid over the canvas (x and y from −1 to 1), and the
// printable solid and 16-bit height map made from it. Only the drawn meshes
// give height; particles lie flat in the canvas plane and add none.

#include <cstdint>
#include <vector>

#include "stroke/stroke.h"

struct HeightField {
  int size = 0;  // samples per side
  // size × size heights in canvas units, row by row. Row 0 is the top edge
  // of the canvas (y = 1) and column 0 its left edge (x = −1), as the
  // canvas is seen from the front; sample (c, r) lies at
  // x = −1 + 2c / (size − 1), y = 1 − 2r / (size − 1).
  std::vector<float> heights;
  // Extremes of the field; the bare canvas counts as height 0.
  float lowest = 0.0f, highest = 0.0f;

  float At(int column, int row) const {
    return heights[static_cast<std::size_t>(row) * static_cast<std::size_t>(size) +
                   static_cast<std::size_t>(column)];
  }
};

// The height at every sample: the highest point of any drawn stroke mesh
// above it (a sample on a triangle's edge counts as covered), 0 where no
// mesh covers it. Parts of strokes beyond the canvas square are cut off.
// `size` must be at least 2.
HeightField SampleHeightField(const Canvas& canvas, int size);

// The field as 16-bit samples, row 0 first: lowest → 0, highest → 65535,
// linear between (rounded to nearest). A flat field is all 0.
std::vector<std::uint16_t> HeightMapSamples(const HeightField& field);

// The base plate under the lowest point of the surface: 2 % of the side
// (2 mm under a 100 mm print), never thinner than 1 mm, so that the plate
// stays stiff and the thinnest part of the print is still several layers.
float ReliefBaseMm(float sizeMm);

// A closed, consistently oriented triangle solid in millimetres: every edge
// belongs to exactly two triangles, which name it in opposite directions,
// and every triangle is counter-clockwise seen from outside.
//   X = (x + 1) / 2 × side, Y = (y + 1) / 2 × side: the canvas square from
//   (0, 0) to (side, side), its bottom-left corner at the origin, seen from
//   above as it is seen from the front in the painter;
//   Z = base + (height − lowest) × side / 2: the relief in true proportion
//   to the canvas (side / 2 millimetres per canvas unit, as for X and Y),
//   standing on Z = 0.
// The top is the sample grid, two triangles per cell; four walls drop from
// its border to Z = 0, and the bottom is a fan around the centre of the
// base (no sliver triangles, and only 4 × (size − 1) of them).
struct ReliefSolid {
  std::vector<float> positions;          // x, y, z per vertex
  std::vector<std::uint32_t> triangles;  // three vertex indices per triangle
};
ReliefSolid BuildReliefSolid(const HeightField& field, float sizeMm);
