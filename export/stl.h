#pragma once
// The relief solid as a binary STL file: an 80-byte header, the facet
// count, and for each facet its normal, its three corners (32-bit floats,
// little-endian, as the format fixes them) and an empty attribute word.
//
// Each facet's normal is its own: the unit normal of its corners by the
// right-hand rule, pointing out of the solid. Mesh checkers and slicers
// compare it with the winding; a normal averaged from the corners'
// neighbours points off wherever the relief bends.

#include <cstdint>
#include <vector>

#include "export/relief.h"

std::vector<std::uint8_t> ReliefStl(const ReliefSolid& solid);
