#pragma once
// Paintings for the document tests: made by the painter's own operations
// on a canvas with the geometry core, what opening a saved one must give
// back, and a field-by-field comparison of stroke records.

#include <memory>
#include <string>
#include <vector>

#include "common/random.h"
#include "document/painting.h"
#include "stroke/settings.h"
#include "stroke/stroke.h"

// A canvas and what the painter builds with.
struct PaintingSession {
  std::unique_ptr<Canvas> canvas = std::make_unique<Canvas>();
  StrokeSettings settings;
  CollisionFactors factors;
  RandomGenerator random;
  int selected = 0;

  // Paints `nodes` nodes from (x, y) in steps of (dx, dy), zig-zagging,
  // pressing from `firstPressure` towards 1, and commits them, piling up on
  // earlier strokes when `collide`.
  void Paint(float x, float y, float dx, float dy, int nodes, bool collide = false,
             float firstPressure = 1.0f);
};

// The painting of a session: its strokes, selection and settings, with two
// small maps, a filtered picture and a thumbnail.
Painting PaintingOf(const PaintingSession& session);

// Every field two paintings keep, stroke records with their meshes and edge
// tables (floats bit for bit; GL names aside) as opening gives them back.
void ExpectSamePainting(const Painting& expected, const Painting& actual);

// An uncompressed 24-bit BMP of width × height pixels, pixel bytes from
// `seed`.
Bytes SmallBmp(int width, int height, int seed);
// A complete 1 × 1 PNG.
Bytes TinyPng();

// A painting file's entries, to be changed and zipped again.
struct ZipEntry {
  std::string name;
  Bytes bytes;
  bool stored = false;
};
std::vector<ZipEntry> EntriesOf(const Bytes& file);
Bytes Zipped(const std::vector<ZipEntry>& entries);
ZipEntry* Find(std::vector<ZipEntry>& entries, const std::string& name);
