#pragma once
// What the exporters write of each committed stroke: what it shows
// (stroke/drawn_form.h), as far as its arrays hold it. Only reads the canvas.

#include "stroke/drawn_form.h"
#include "stroke/stroke.h"

// The mesh drawn for this stroke, or nullptr: deleted, not drawn as a mesh,
// no faces, or arrays that do not hold what the counts and face indices
// promise (such a mesh is left out rather than read out of bounds).
const Mesh* DrawnMesh(const Stroke& stroke);

// True when the stroke is drawn as particles and some of them have an area
// to show (a stroke built with "P" off has none: its list draws nothing).
bool DrawsParticles(const Stroke& stroke);

// True when some committed stroke draws a mesh or particles.
bool HasDrawnStrokes(const Canvas& canvas);

// The committed strokes to look at: the count, held to the array's size.
int CommittedCount(const Canvas& canvas);
