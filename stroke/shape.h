#pragma once
// The body of a stroke: its cross-section (BuildShape) and, per path
// sample, width, height, tangent and perpendicular (BuildPerpendiculars).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/random.h"
#include "stroke/build.h"

// Profile of S samples from the middle row of an RGB height map (bottom row
// first, width × height × 3 of its `bytes` bytes): brightness ×
// 0.0013227513, ends forced to 0, the negative half mirrored from the
// positive one. A map with too few pixels gives a flat profile of zeros.
std::vector<float> SampleProfile(const std::uint8_t* rgb, std::size_t bytes, int width, int height,
                                 int s);

// Resolution S = lod, the settings' colours with alpha 1 across all S
// samples, and the profile from the middle row of `heightMap`, counted
// from its bottom row.
void BuildShape(Stroke& stroke, float lod, const StrokeSettings& settings, HeightMap heightMap);
// The settings' size ranges, then per path sample: width and height (with
// the random jitter when randomSize is on, drawn from `random`, and the
// start taper over pathLod × endNode samples), tangent and perpendicular.
void BuildPerpendiculars(Stroke& stroke, const StrokeSettings& settings, RandomGenerator& random);
