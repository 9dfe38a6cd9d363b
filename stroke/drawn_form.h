#pragma once
// How a committed stroke is drawn, which is also what an export writes of
// it: a stroke that is not deleted shows as its mesh (kRenderMesh: the
// subdivided mesh when there is one, else the base mesh) or as its particle
// quads (kRenderParticles), or not at all. The main view's scene pass and
// the exporters both read it here.

#include <cstddef>

#include "stroke/stroke.h"

// The mesh is drawn with the mesh (bump) map on one texture unit and the
// detail map on a second, repeated this many times across one repeat of
// the mesh map and combined with it at this scale (the product doubled).
constexpr float kDetailRepeat = 8.0f;
constexpr float kDetailScale = 2.0f;

// The mesh the stroke shows, or nullptr: deleted, not drawn as a mesh, or
// not built yet.
const Mesh* ShownMesh(const Stroke& stroke);

// True when the stroke is drawn as particles (not deleted, "P" chosen).
bool ShowsParticles(const Stroke& stroke);

// True when particle `index` covers some area. Where a stroke tapers to
// nothing its particles have size 0: the main view draws nothing there, and
// a file gets no quad (viewers and checkers flag triangles without area).
bool ParticleHasArea(const ParticleSystem& particles, std::size_t index);

// One particle as it is drawn: a square of half-extent twice the particle's
// size around its centre, in the canvas plane, corners in the order of its
// triangle strip (the texture coordinates follow the same order, t = 0 at
// the bottom row of the sprite picture).
struct ParticleQuad {
  float corner[4][3];
  float texCoord[4][2];
};
ParticleQuad QuadOfParticle(const ParticleSystem& particles, std::size_t index);
