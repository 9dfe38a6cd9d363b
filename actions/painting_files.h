#pragma once
// Paintings as files of the person's own: where they are kept, which one
// this run works on, saving and opening with a line saying what happened,
// this run's autosave written off the event loop, and the paintings a run
// left unsaved (quit, crashed or killed), offered again at the next start.

#include <cstdint>
#include <string>
#include <vector>

#include "actions/documents.h"

// $XDG_DATA_HOME/kelvra/paintings/ (when XDG_DATA_HOME is an absolute
// path), else ~/.local/share/kelvra/paintings/; made when first written.
std::string PaintingsFolder();

// The file this run's painting was opened from or last saved to; empty
// before either.
const std::string& CurrentPaintingFile();

// The path a painting named `name` is saved under in the folder: the name
// with ".kelvra" added unless it ends so. Empty for a name that is no file
// name of its own (empty, ".", "..", holding "/").
std::string PaintingPathForName(const std::string& name);

// Saves the painting into `path`, whole or not at all, and tells so
// ("saved PATH", or what went wrong: the old file is then as it was). The
// painting this run works on is that file from then on, and this run's
// autosave goes. False on failure.
bool SavePaintingFile(const std::string& path);

// Opens the painting at `path` in place of the canvas, as one step undo
// can take back, and tells so ("opened PATH", the note of a newer format,
// or one line saying what is wrong: the canvas, settings and history then
// stay as they were). False on failure.
bool OpenPaintingFile(const std::string& path);

// A painting the Open list offers.
struct PaintingEntry {
  std::string label;  // its name, or "Recovered" and when it was last changed
  std::string path;
  bool recovered = false;
  std::int64_t modified = 0;  // seconds since 1970
};
// What a run left unsaved first, newest first; then the folder's paintings,
// newest first.
std::vector<PaintingEntry> ListPaintings();
// Opens a painting of the list: a recovered one as OpenRecoveredPainting
// does, any other as OpenPaintingFile.
bool OpenListedPainting(const PaintingEntry& entry);

// Keeps this run's autosave from now on: after a canvas action, at most
// every few seconds, the painting is written (by a thread of its own) into
// the folder's ".autosave/", where it stays until the painting is saved.
void StartAutosave();
// The idle step's turn: hands the painting to the writer when it changed,
// the last write is long enough ago and no stroke is being painted.
void AutosaveStep();
// Quitting: writes what changed since the last autosave and waits for the
// write, then stops the writer. `frame` makes the thumbnail (none when
// empty: the windows may be gone at exit).
void StopAutosave(MainViewFrame frame = {});

// Opens the newest painting a run left unsaved ("recovered PATH"); false
// when there is none.
bool OpenRecoveredPainting();
