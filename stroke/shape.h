#pragma once
// The body of a stroke: its cross-section (BuildShape) and, per path
// sample, width, height, tangent and perpendicular (BuildPerpendiculars).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stroke/stroke.h"

// Profile of S samples from the middle row of an RGB height map (bottom row
// first, width × height × 3 of its `bytes` bytes): brightness ×
// 0.0013227513, ends forced to 0, the negative half mirrored from the
// positive one. A map with too few pixels gives a flat profile of zeros.
std::vector<float> SampleProfile(const std::uint8_t* rgb, std::size_t bytes, int width, int height,
                                 int s);

// Resolution, colours, sizes and the profile from the current height map
// (also re-uploads TEX_HEIGHT into the current GL context).
void BuildShape(Stroke& stroke, float lod);
// Widths, heights (with optional random jitter and the start taper),
// tangents and perpendiculars of every path sample.
void BuildPerpendiculars(Stroke& stroke);
