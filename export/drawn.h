#pragma once
// What the main view draws of each committed stroke, as the exporters see
// it: a stroke that is not deleted is drawn as its mesh (kRenderMesh: the
// subdivided mesh when there is one, else the base mesh) or as its particle
// quads (kRenderParticles), or not at all. Only reads the canvas.

#include <cstddef>

#include "stroke/stroke.h"

// The mesh drawn for this stroke, or nullptr: deleted, not drawn as a mesh,
// no faces, or arrays that do not hold what the counts and face indices
// promise (such a mesh is left out rather than read out of bounds).
const Mesh* DrawnMesh(const Stroke& stroke);

// True when the stroke is drawn as particles and some of them have an area
// to show (a stroke built with "P" off has none: its list draws nothing).
bool DrawsParticles(const Stroke& stroke);

// True when particle `index` covers some area. Where a stroke tapers to
// nothing its particles have size 0: the main view draws nothing there, and
// a file gets no quad (viewers and checkers flag triangles without area).
bool ParticleHasArea(const ParticleSystem& particles, std::size_t index);

// True when some committed stroke draws a mesh or particles.
bool HasDrawnStrokes(const Canvas& canvas);

// The committed strokes to look at: the count, held to the array's size.
int CommittedCount(const Canvas& canvas);

// One particle as the main view draws it: a square of half-extent twice
// the particle's size around its centre, in the canvas plane, corners in
// the order of its triangle strip (the texture coordinates follow the same
// order, t = 0 at the bottom row of the sprite picture).
struct ParticleQuad {
  float corner[4][3];
  float texCoord[4][2];
};
ParticleQuad QuadOfParticle(const ParticleSystem& particles, std::size_t index);
