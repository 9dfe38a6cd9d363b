#pragma once
// Building a committed stroke and rebuilding one later. The build reads its
// settings and draws its random numbers from what the caller passes; the
// two things it needs from outside the geometry (the height map, and making
// particles drawable) come through hooks, so the build itself needs no
// window. Console lines go to standard output, flushed per line.

#include <functional>

#include "common/random.h"
#include "image/decoded_picture.h"
#include "stroke/settings.h"
#include "stroke/stroke.h"

// A height map as decoded pixels: width × height × 3 bytes, R, G, B, rows
// in the order the picture says.
using HeightMap = DecodedPicture;

struct BuildHooks {
  // The SHAPE step's height map, read afresh at every build. Unset, or an
  // empty map, gives a flat profile.
  std::function<HeightMap()> readHeightMap;
  // Called by the PARTICLE step with the freshly scattered particles, to
  // make them drawable. Unset: they stay data only.
  std::function<void(ParticleSystem&)> compileParticles;
};

struct BuildContext {
  const StrokeSettings& settings;
  RandomGenerator& random;
  const BuildHooks& hooks;
};

// Appends a node with this position and pressure (other fields zero) to
// nodes and path.
void AddNode(Stroke& stroke, const Vec4& position, float pressure = 1.0f);
// Empties both node lists, releases meshes and edge table, zeroes the
// deleted flag and render type. Profile, sizes, bounds and particles stay.
void ClearStroke(Stroke& stroke);

// PATH, SHAPE, PERP, MESH, PARTICLE, BOUNDINGBOX with a console line each;
// a stroke of fewer than 3 nodes prints the two header lines only.
void BuildStroke(Stroke& stroke, const BuildContext& build);
void SetWidthRange(Stroke& stroke, float start, float end);
void SetHeightRange(Stroke& stroke, float start, float end);
// The settings' sizes, new perpendiculars and a new mesh; the path, shape,
// particles and bounds stay. Prints nothing.
void ResizeStroke(Stroke& stroke, const StrokeSettings& settings, RandomGenerator& random);
// Path, shape, perpendiculars and mesh again from the painted nodes; the
// particles and bounds keep what the first build made. Prints nothing.
void UpdateStroke(Stroke& stroke, const BuildContext& build);
