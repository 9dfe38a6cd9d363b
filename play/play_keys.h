#pragma once
// kelvra-play's own keys in the main view, which the painter leaves
// unbound: Ctrl+Z undoes a step, Ctrl+Y and Ctrl+Shift+Z redo one, x (or X)
// exports the painting. They act on real and scripted keys alike; while
// recording, they are written as the `undo`, `redo` and `export` lines.

#include <functional>
#include <string>

#include "play/painting_history.h"
#include "play/recorder.h"

struct PlayKeys {
  PaintingHistory* history = nullptr;
  Recorder* recorder = nullptr;  // null when not recording
  // Exports into a new file and returns its name, or an empty text with
  // the problem already told.
  std::function<std::string()> exportPainting;
};

// Installs the keys; `keys` must outlive the program's event loop.
void InstallPlayKeys(PlayKeys* keys);
