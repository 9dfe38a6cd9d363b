#pragma once
// The drawable form of a stroke's particles: one display list per stroke,
// compiled in the GL context that will draw it (the main window's).

#include "stroke/drawn_form.h"
#include "stroke/stroke.h"

// A new list holding a quad for every particle of `particles`; the
// stroke's previous list is deleted first. Prints nothing: the build has
// reported the compile. Without a list name (none left, or no context) the
// stroke keeps list 0 and draws nothing as particles.
void CompileParticleList(ParticleSystem& particles);
// One particle's quad (stroke/drawn_form.h) in its colour, carrying its own
// texture and depth state.
void DrawParticle(unsigned int texture, const ParticleQuad& quad, const Vec4& colour);
