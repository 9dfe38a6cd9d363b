#pragma once
// Strokes drawn as clouds of textured sprites: five particles around every
// path point, compiled once into a display list owned by the stroke.
// Needs the GL context that will draw the list (the main window's).

#include "stroke/stroke.h"

constexpr int PARTICLES_PER_POINT = 5;
constexpr float PARTICLE_SCATTER = 0.025f;

// Does nothing unless ShowParticles is set.
void GenerateParticles(Stroke& stroke);
void AddParticle(ParticleSystem& particles, Vec4 centre, Vec4 colour, float size);
// A new list with every pending particle; the stroke's previous list is
// deleted first. Pending arrays are emptied.
void CompileParticles(ParticleSystem& particles);
// One quad of half-extent 2 × size, carrying its own texture and depth state.
void DrawParticle(unsigned int texture, const Vec4& centre, const Vec4& colour, float size);
