#pragma once
// Sessions of the painter's own actions for tests that compare a canvas
// before and after something (undo and redo, saving and opening): actions
// chosen and placed at random, and a print of everything the canvas shows.

#include <random>
#include <string>

// What the canvas shows: the count, the selection and every field a person
// could see or a later action could read (what a build writes, the painted
// nodes and the particles) of the stroke being painted and of the slots a
// session of a few dozen actions can reach; or, for what a painting holds,
// of the committed strokes alone (a slot past them is written whole by the
// commit that takes it).
enum class CanvasPart { kAllSlots, kCommitted };
std::string CanvasPrint(CanvasPart part = CanvasPart::kAllSlots);

// One of the actions a person takes, chosen and placed at random: commits
// with and without pile-ups, meshes and particles, subdivided or not; a
// selection; deleting one or all; a resize; a rebuild; the crossing check.
void RandomAction(std::mt19937& dice);
