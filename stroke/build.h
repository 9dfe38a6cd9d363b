#pragma once
// Building a committed stroke, and rebuilding the selected one from the
// control panels. Console lines go to standard output, flushed per line.

#include "stroke/stroke.h"

// Appends a node with this position (other fields zero) to nodes and path.
void AddNode(Stroke& stroke, const Vec4& position);
// Empties both node lists, releases meshes and edge table, zeroes the
// deleted flag and render type. Profile, sizes, bounds and particles stay.
void ClearStroke(Stroke& stroke);

// PATH, SHAPE, PERP, MESH, PARTICLE, BOUNDINGBOX with a console line each;
// a stroke of fewer than 3 nodes prints the two header lines only.
void BuildStroke(Stroke& stroke);
void SetWidthRange(Stroke& stroke, float start, float end);
void SetHeightRange(Stroke& stroke, float start, float end);
// The selected stroke gets the Size panel's values, new perpendiculars and
// a new mesh. Callers make sure a stroke is selected.
void ResizeSelectedStroke();
// The selected stroke is rebuilt from its nodes with the current settings
// (particles and bounds keep what the first build made).
void UpdateSelectedStroke();

// The Stroke panel's control and menu callback (ids 1–7; others ignored).
void OnStrokePanelControl(int id);
// Window actions of ids 1 and 2, installed by the panels; null does nothing.
extern void (*HideStrokePanelWindow)();
extern void (*ShowSizePanelWindow)();
