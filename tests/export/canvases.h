#pragma once
// Canvases for the export tests: strokes built headless as the painter
// builds them, and strokes whose meshes are made by hand so that heights
// can be worked out on paper; the settings and folder listings the tests
// share.

#include <memory>
#include <string>
#include <vector>

#include "export/painting.h"
#include "stroke/stroke.h"

// Committed strokes, in order: 1 a mesh stroke, 2 a mesh stroke with one
// subdivision level, 3 a particle stroke, 4 a deleted mesh stroke, 5 a
// two-node stroke (nothing to draw). Drawn: 1, 2 and 3.
std::unique_ptr<Canvas> MixedCanvas();

// Appends a stroke drawn as a four-sided pyramid: apex (x, y, z), base the
// square of half-side `half` around (x, y) at height 0. Four triangles,
// counter-clockwise from the front, no shared vertices, as the stroke
// meshes are; normals as the build computes them.
void AddPyramid(Canvas& canvas, float x, float y, float z, float half);

// The painter's default mesh, detail and particle maps.
ExportSettings ExportSettingsWithDefaultMaps();

// The bytes of the file at `path`; none when it cannot be read.
std::string Contents(const std::string& path);

// The names in `folder`, sorted.
std::vector<std::string> FolderListing(const std::string& folder);
