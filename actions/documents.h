#pragma once
// The painting as a document: the painter's state made into a painting to
// save, and an opened painting applied to the state as one action the undo
// history can take back.
//
// Saving reads the state through a keeper that listens to the actions and
// keeps every stroke's encoding, re-encoding only the strokes an action
// changed: a snapshot then costs the changed strokes and a thumbnail, not
// the whole painting, so an autosave can take one after every action.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "document/document.h"
#include "document/painting.h"
#include "state/state.h"

// The parts of the state that belong to a painting, and back.
PaintingSettings SettingsOfState(const ApplicationState& state);
void ApplySettings(const PaintingSettings& settings, ApplicationState& state);

// Every window's context loads the maps and the filtered picture anew (a
// painting brings its own, a brush chooses some), and the windows that
// show them redraw.
void LoadTexturesEverywhere();

// Replaces the canvas with `painting`'s strokes and takes its selection,
// settings, camera, light, maps and filtered picture; every window's
// textures are loaded again. One action (ActionKind::kOpen): undoing it
// brings the strokes back, the settings stay as they are.
void ApplyPainting(Painting painting);

// Keeps what a snapshot of the painting needs, up to date with the actions.
class PaintingKeeper : public ActionObserver {
 public:
  PaintingKeeper();
  ~PaintingKeeper() override;
  PaintingKeeper(const PaintingKeeper&) = delete;
  PaintingKeeper& operator=(const PaintingKeeper&) = delete;

  // The painting as it stands, ready to be written (on any thread). With
  // `thumbnail`, a small picture of the main view's last frame goes with
  // it (read from the main window's context and made at once).
  PaintingSnapshot Snapshot(bool thumbnail);

  // Moves with every action that changes what a snapshot holds: a snapshot
  // taken at one value is still the painting while the value stays.
  std::uint64_t Revision() const { return revision_; }

  void ActionFinished(const ActionReport& report) override;

 private:
  std::vector<std::shared_ptr<const EncodedStroke>> strokes_;  // null: encode again
  std::shared_ptr<const Bytes> filtered_;                       // null: encode again
  // The bytes of each embedded slot's map, with the table entry they came
  // from.
  struct MapBytes {
    std::string file;
    std::shared_ptr<const std::vector<std::uint8_t>> embedded;
    std::shared_ptr<const EmbeddedMap> map;
  };
  std::vector<MapBytes> maps_;
  std::uint64_t revision_ = 0;
};

// The painter's one keeper, listening from the first use on.
PaintingKeeper& ThePaintingKeeper();

// The main view's last frame as read back: RGBA (the kept picture's own
// layout, so reading it back is a copy), rows bottom first. The kept
// picture is read where there is one: the painting without the cursor,
// the axes or the selection's outline.
struct MainViewFrame {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
};
// Empty without a main window.
MainViewFrame ReadMainViewFrame();

// A small picture of `frame` as PNG bytes, its longer side `largest`
// pixels at most; empty for an empty frame. Safe on any thread: the
// autosave reads the frame in the idle step and makes the picture on its
// own thread.
constexpr int kThumbnailSize = 256;
Bytes ThumbnailOf(const MainViewFrame& frame, int largest = kThumbnailSize);
