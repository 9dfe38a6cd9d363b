#pragma once
// The default height map as the painter hands it to a build: read, and
// rescaled to power-of-two sides as its upload does. For tests and
// benchmarks that build strokes without a window.

#include "stroke/build.h"

HeightMap ReadDefaultHeightMap();
// Hooks that read the default height map and make nothing drawable.
const BuildHooks& HeadlessBuildHooks();
