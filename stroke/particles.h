#pragma once
// Strokes drawn as clouds of textured sprites: five particles scattered
// around every path point, sized from the point's width and coloured with
// the stroke colour. Making them drawable (a display list) is the build
// hook's part.

#include "common/random.h"
#include "stroke/build.h"

constexpr int PARTICLES_PER_POINT = 5;
constexpr float PARTICLE_SCATTER = 0.025f;

// Does nothing unless settings.showParticles is set. Otherwise replaces the
// stroke's particles, prints "\tBuilding Particles...", "\t#particles: n"
// and the compile progress, then hands them to hooks.compileParticles.
// Draws three numbers from `random` per particle: x, y, size.
void GenerateParticles(Stroke& stroke, const StrokeSettings& settings, RandomGenerator& random,
                       const BuildHooks& hooks);
void AddParticle(ParticleSystem& particles, Vec4 centre, Vec4 colour, float size);
