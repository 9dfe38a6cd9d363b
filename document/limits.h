#pragma once
// How much a painting file may ask for. Nothing read from a file is
// trusted: every count is checked against these caps, and against the bytes
// the file really holds, before anything is allocated for it. The caps lie
// far past what a person paints with the panels' ranges (a stroke of a
// minute's drag has some thousands of nodes; the panels allow 64 path and
// shape samples and 5 subdivision levels), and below what would exhaust the
// memory of the machine the painter runs on.

#include <cstdint>

#include "stroke/stroke.h"

struct DocumentLimits {
  std::uint64_t strokes = kStrokeCountLimit;  // the canvas holds no more
  std::uint64_t nodesPerStroke = 1u << 20;
  std::uint64_t pathSamplesPerStroke = 1u << 22;  // 64 per node of a long drag
  std::uint64_t particlesPerStroke = 5ull << 22;  // five per path sample
  int shapeResolution = 4096;                     // the panel allows 64
  int subdivisionLevels = 5;                      // the panel's range, 0..5
  // The rebuilt meshes' arrays (vertices and faces, base and subdivided).
  // A long stroke at five levels takes about a gigabyte.
  std::uint64_t meshBytesPerStroke = 4ull << 30;
  std::uint64_t meshBytesPerPainting = 8ull << 30;
  // Zip entries, by what they declare once uncompressed.
  std::uint64_t manifestBytes = 1u << 20;
  std::uint64_t strokesBytes = 2ull << 30;
  std::uint64_t thumbnailBytes = 16u << 20;
  // BMP entries: a picture of kMaxImageBytes pixels, with its headers and
  // row padding.
  std::uint64_t pictureBytes = (256ull << 20) + (1u << 20);
  std::uint64_t entries = 64;  // a painting writes at most 12
};
