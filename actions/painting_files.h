#pragma once
// Paintings as files of the person's own: where they are kept, which one
// this run works on, saving and opening with a line saying what happened,
// this run's autosave written off the event loop, and the paintings a run
// left unsaved (quit, crashed or killed), offered again at the next start.

#include <cstdint>
#include <string>
#include <vector>

#include "actions/documents.h"

// The person's folder `name` ("paintings"): $XDG_DATA_HOME/kelvra/NAME/
// (when XDG_DATA_HOME is an absolute path), else
// ~/.local/share/kelvra/NAME/, with its final slash; empty when neither
// is set.
std::string DataFolder(const char* name);
// $XDG_DATA_HOME/kelvra/paintings/ (when XDG_DATA_HOME is an absolute
// path), else ~/.local/share/kelvra/paintings/; made when first written.
std::string PaintingsFolder();
// Exports made with a key go beside it: $XDG_DATA_HOME/kelvra/exports/.
std::string ExportsFolder();

// The file this run's painting was opened from or last saved to; empty
// before either.
const std::string& CurrentPaintingFile();

// What a save or an open did. stderr has had its line in every case; `told`
// is the line for the person's eyes too (the Paintings window, the notice
// over the main view) when something went wrong or needs care: the reason
// of a failure, or a caution ("open in another run too"). Empty when all
// went well.
struct FileOutcome {
  bool ok = false;
  std::string told;
  operator bool() const { return ok; }
};

// A name typed for a painting, trimmed of blanks at its ends: the path it
// is saved under in the folder (".kelvra" added unless it ends so), or
// what keeps it from being a file name of its own.
struct PaintingName {
  std::string path;
  std::string problem;
};
PaintingName PaintingPathOf(const std::string& typed);
// The path alone; empty when the name is no file name of its own.
std::string PaintingPathForName(const std::string& name);

// Whether saving into `path` would write over work this run has not seen:
// the file this run opened or last saved there, changed since by someone
// else (another run, another program). Then the line saying so; else "".
std::string ChangedSinceThisRun(const std::string& path);

// Saves the painting into `path`, whole or not at all, and tells so
// ("saved PATH", or what went wrong: the old file is then as it was). The
// painting this run works on is that file from then on, and this run's
// autosave goes.
FileOutcome SavePaintingFile(const std::string& path);

// Opens the painting at `path` in place of the canvas, as one step undo
// can take back, and tells so ("opened PATH", the note of a newer format,
// or one line saying what is wrong: the canvas, settings and history then
// stay as they were). A painting another running painter has open opens
// with a caution.
FileOutcome OpenPaintingFile(const std::string& path);

// A painting the Open list offers.
struct PaintingEntry {
  std::string label;  // its name, or "Recovered" and when it was last changed
  std::string when;   // when it was last changed, "YYYY-MM-DD HH:MM"
  std::string path;
  bool recovered = false;
  std::int64_t modified = 0;  // seconds since 1970
};
// What a run left unsaved first, newest first; then the folder's paintings,
// newest first.
std::vector<PaintingEntry> ListPaintings();
// Opens a painting of the list: a recovered one as OpenRecoveredPainting
// does, any other as OpenPaintingFile.
FileOutcome OpenListedPainting(const PaintingEntry& entry);
// Deletes a recovered painting of the list, for good.
FileOutcome DiscardRecoveredPainting(const PaintingEntry& entry);

// Removes the temporary files that saves killed halfway left in the
// paintings folder and its autosave folder; a temporary a living run is
// still writing stays.
void RemoveAbandonedTemporaries();

// Keeps this run's autosave from now on: after a canvas action, at most
// every few seconds, the painting is written (by a thread of its own) into
// the folder's ".autosave/", where it stays until the painting is saved.
// A start also clears what killed saves left behind.
void StartAutosave();
// The idle step's turn: hands the painting to the writer when it changed,
// the last write is long enough ago and no stroke is being painted.
void AutosaveStep();
// Quitting: writes what changed since the last autosave and waits for the
// write, then stops the writer; when changes were kept unsaved, says on
// stderr where and how to get them back. `frame` makes the thumbnail (none
// when empty: the windows may be gone at exit).
void StopAutosave(MainViewFrame frame = {});

// Opens the newest painting a run left unsaved ("recovered PATH"); false
// when there is none.
FileOutcome OpenRecoveredPainting();

// A path for a new export of the painting with `extension` (".glb"): in
// the exports folder, named after the painting and the time
// ("harbour-2024-05-01_14-22-05.glb", "painting-…" before it has a name),
// never an existing file's.
std::string NewExportPath(const std::string& extension);
