#pragma once
// What the painter adds on keys of the main view that have no action of
// their own: Ctrl+Z undoes a step, Ctrl+Y and Ctrl+Shift+Z redo one, x (or
// X) exports the painting, f (or F) makes a film of it, Ctrl+S saves it (asking for a name the first
// time), Ctrl+Shift+S saves it under a new name, Ctrl+O shows the paintings
// to open. Each tells what it did in a line of its own (common/notice.h);
// the painter's console stays as it was.

#include <string>

// Starts the painter's undo history: from now on every action on the canvas
// is a step it can take back.
void StartPaintingHistory();

// The key with GLUT's modifier bits; false when it is none of these keys.
bool HandlePaintingKey(unsigned char key, int modifiers);

// One step of the painter's history back or forward; false when there is
// none (or while a stroke is being painted).
bool UndoStep();
bool RedoStep();

// The side of the canvas in an exported printable relief (.stl), in mm.
void SetReliefSize(float millimetres);
// The painting into `path` (by its extension), with the maps its strokes are
// drawn with now; missing folders are made once there is something to
// write. Returns what went wrong, or an empty text.
std::string ExportInto(const std::string& path);
// The x key's export: NAME-DATE_TIME.glb in the exports folder
// (NewExportPath: NAME is the painting's, -2, -3 … added when that second
// has a file already). Tells what it wrote, with its full path, or what
// went wrong, on stderr and over the main view; returns the path, or an
// empty text.
std::string ExportByKey();
