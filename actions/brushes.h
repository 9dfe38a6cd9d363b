#pragma once
// The brushes a person paints with: the set shipped with the program and
// the person's own, listed, applied as one action, saved from the current
// settings, deleted and imported. A brush's name is its file's name less
// ".kelvra-brush" (document/brush.h). The shipped ones are never written:
// saving under a shipped brush's name makes the person's own copy, which
// is listed, found and applied before the shipped one.

#include <optional>
#include <string>
#include <vector>

#include "actions/painting_files.h"
#include "document/brush.h"
#include "state/state.h"

// The person's brushes: DataFolder("brushes"), made when first written.
std::string OwnBrushesFolder();
// The shipped brushes: $KELVRA_SHIPPED_BRUSHES (the launcher points it at
// the package's), else "brushes/" in the working folder (a checkout);
// empty when that is the person's own folder (the installed painter
// started without its launcher works in the person's data folder).
std::string ShippedBrushesFolder();

struct BrushEntry {
  std::string name;
  std::string path;
  bool own = false;  // the person's own, which they may delete
};
// The person's own first, then the shipped ones, each by name. Files that
// are not named as brushes are left out; a broken brush is listed and
// says what is wrong when it is applied.
std::vector<BrushEntry> ListBrushes();
// The brush of that name: the person's own where they have one.
std::optional<BrushEntry> FindBrush(const std::string& name);

// What a brush sets, from the state and into it.
BrushSettings BrushSettingsOfState(const ApplicationState& state);

// One action (ActionKind::kApplyBrush, no undo step, as no settings
// change is): the settings, then each map the brush names, chosen from its
// folder under `textureRoot` ("textures/") as the Stroke panel's menus
// choose it; every window loads its maps again. A map its folder lacks is
// left as it is and named, in one line on stderr and in `told`; the rest
// applies. The panels show the new values at the next idle step.
FileOutcome ApplyBrush(const Brush& brush, const std::string& name, const std::string& textureRoot);
// Reads the brush's file whole first: a broken one changes nothing and
// says what is wrong.
FileOutcome ApplyBrushEntry(const BrushEntry& entry, const std::string& textureRoot);

// The current settings as a brush: the maps by their file names, and the
// picture of the stroke they make (actions/brush_picture.h).
Brush CurrentBrush();

// A name typed for a brush, trimmed of blanks: its path in the person's
// folder, or what keeps it from being a file name of its own.
struct BrushName {
  std::string path;
  std::string problem;
};
BrushName OwnBrushPathOf(const std::string& typed);

// Saves the current settings as the person's brush at `path`, whole or
// not at all ("saved the brush PATH", or what went wrong).
FileOutcome SaveCurrentBrush(const std::string& path);
// Deletes one of the person's own brushes; a shipped one is refused.
FileOutcome DeleteOwnBrush(const BrushEntry& entry);

// `kelvra --import-brush FILE`: the file, checked whole, copied into the
// person's folder under its own name. A brush of that name already there
// is never written over: the refusal says how to replace it.
FileOutcome ImportBrush(const std::string& file);
