#pragma once
// The one door for every change a person makes to the painting, its maps,
// its colours and its settings: keys, mouse, panels and scripts all come
// through here.
// Each action bumps the revision and tells the observers what it did, so
// the undo history (an observer) and the redraw tracking (the revision)
// each listen in one place instead of guessing. The recorder listens a step
// earlier, to the window callbacks and controls that lead here.
//
// Actions that rebuild strokes build in the main window's GL context
// whatever window is current (the build hooks make it current for their GL
// work and restore the current window afterwards).

#include <cstdint>
#include <string>
#include <vector>

#include "common/vec4.h"
#include "image/textures.h"
#include "stroke/build.h"

enum class ActionKind {
  kPaintPoint,      // a node added to the stroke being painted
  kCommit,          // the painted stroke committed (and piled up, with "C")
  kSelect,          // the selection changed
  kDeleteSelected,  // "Delete Selected"
  kDeleteAll,       // "Delete All"
  kResize,          // the selected stroke resized (Size panel, "+", "-")
  kUpdate,          // the selected stroke rebuilt ("Update")
  kCollide,         // the crossing check over all strokes
  kAutoTrace,       // bright regions of the view turned into strokes
  kChooseMap,       // a map file chosen for a slot
  kFilter,          // a kernel applied, the source shown unfiltered, or a new source
  kPickColour,      // the stroke colour picked in the spectrum
  kUndo,            // steps taken back or forward by an undo history
  kRedo,
  kOpen,            // a painting opened in place of the canvas
  kSettings,        // a setting changed by a control or a key, or the view came to rest
  kPreference,      // a preference of the person's that no painting keeps
  kApplyBrush,      // a brush's settings and maps taken at once
  kCount
};

// What each kind of action does: one row per kind (actions.cpp), so that a
// new kind is one row and no observer guesses.
struct ActionTraits {
  ActionKind kind;
  bool movesStrokes;     // the committed strokes' revision moves (and the painted one's)
  bool movesPainted;     // the painted stroke's revision moves
  bool undoStep;         // the undo history keeps the strokes it changes as one step
  bool changesPainting;  // a saved painting would differ: saves and autosave follow
};
const ActionTraits& TraitsOf(ActionKind kind);

// What an action changed.
struct ActionReport {
  ActionKind kind = ActionKind::kPaintPoint;
  std::uint64_t revision = 0;
  std::vector<int> strokes;    // 0-based slots whose records changed, in order of first change
  bool allStrokes = false;     // every slot replaced (Delete All, undo or redo of it)
  std::uint32_t textures = 0;  // bit 1 << TEX_x for each texture name redefined
};

class ActionObserver {
 public:
  virtual ~ActionObserver() = default;
  // Before the action changes anything.
  virtual void ActionStarting(ActionKind) {}
  // Before slot `slot`'s record changes: once per action and slot.
  virtual void StrokeChanging(int /*slot*/) {}
  // Before every slot is replaced by an empty stroke (Delete All): an
  // observer may take the records, leaving empty strokes in their place.
  virtual void AllStrokesChanging() {}
  // Before the stroke being painted changes, other than by painting or by
  // its commit, which empties it: undoing a commit takes the stroke away,
  // it does not hand it back to the brush.
  virtual void CurrentStrokeChanging() {}
  virtual void ActionFinished(const ActionReport&) {}
};

void AddActionObserver(ActionObserver* observer);
void RemoveActionObserver(ActionObserver* observer);
// Bumped by every action; 0 before the first.
std::uint64_t ActionRevision();

// Brackets an action: tells the observers it starts, collects what it
// changes, and reports it when the scope ends. Actions defined beside the
// program (undo and redo in kelvra-play) use it too.
class ActionScope {
 public:
  explicit ActionScope(ActionKind kind);
  ~ActionScope();
  ActionScope(const ActionScope&) = delete;
  ActionScope& operator=(const ActionScope&) = delete;

  void StrokeChanging(int slot);
  void AllStrokesChanging();
  void CurrentStrokeChanging();
  // Every slot changes, but not to empty strokes (an undo or redo of
  // Delete All): reported, with nothing for the observers to take.
  void AllStrokesReplaced() { report_.allStrokes = true; }
  void TexturesChanged(std::uint32_t bits) { report_.textures |= bits; }

 private:
  ActionReport report_;
};

// The build context of the painter: its settings, its random generator and
// the hooks that put height maps and particle lists into the main window.
BuildContext PainterBuildContext();

// True when a committed stroke is selected: what the rebuild buttons need.
bool HasSelectedStroke();

// ---- The painting ---------------------------------------------------------------------
// A node of the stroke being painted; `pressure` is a pen's, 1 for a mouse.
void AddPaintedPoint(float x, float y, float pressure = 1.0f);
// Commits the painted stroke, then piles it up on the strokes it crosses
// when "C" is ticked: one step.
void CommitPaintedStroke();
// Any number 0 (none) … count; picking and the arrow keys.
void SelectStroke(int number);
void DeleteSelectedStroke();
void DeleteAllStrokes();
// The selected stroke gets the current size settings, new perpendiculars
// and a new mesh.
void ResizeSelectedStroke();
enum class SizeAxis { kWidth, kHeight, kBoth };
// "+" and "-": the chosen start sizes move by `step`, their end sizes become
// 0, then the selected stroke is resized. Nothing without a selection.
void GrowSelectedStroke(SizeAxis axis, float step);
// The "Collision Nodes" "+" and "-" (width or height): the start factor
// moves by `step`, the end factor by −`step`, then the selected stroke is
// resized. The crossing check does not run again, so the resize undoes the
// stroke's earlier deflection. Nothing without a selection.
void ShiftCollisionFactors(SizeAxis axis, float step);
// "Update": the selected stroke rebuilt from its nodes.
void UpdateSelectedStroke();
// The crossing check over all strokes.
void CollideStrokes();
// Turns the bright regions of the rendered main view into strokes.
void AutoTrace();

// ---- Maps, filters, colour --------------------------------------------------------------
// The slot takes `path`; the main window reloads its maps on its next idle
// step (the caller reloads its own window's).
void ChooseMapFile(MapSlot slot, const std::string& path);
// The filtered picture := kernel n over the source picture (a failed
// filter keeps it).
void ApplyFilterChoice(int n);
// The filtered picture := the source picture, unfiltered.
void ShowUnfilteredSource();
// The source slot takes `path`, the source picture is read from it, and shown
// through the vertical Sobel kernel.
void ChooseSourceImage(const std::string& path);
// StartColour and EndColour := colour; the spectrum marker moves to (x, y).
void PickColour(const Vec4& colour, float markerX, float markerY);

// A brush's settings and maps taken at once (ActionKind::kApplyBrush): the
// stroke settings and crossing factors, then each slot given a path as
// ChooseMapFile gives it. The caller reloads the windows' maps.
struct MapChoice {
  MapSlot slot;
  std::string path;
};
void ApplyBrushSettings(const StrokeSettings& stroke, const CollisionFactors& collisions,
                        const std::vector<MapChoice>& maps);

// ---- Settings ---------------------------------------------------------------------------
// A control changed a setting: it wrote its live variable in the state
// before its callback ran, so the action only tells the observers (the
// painting keeper, and with it the autosave). Settings changes are no undo
// steps: Ctrl+Z takes back what was done to the strokes, not every step a
// spinner was dragged through.
void SettingChanged();
// A camera key (HandleCameraKey): the camera or the light moves, one
// settings action. False, and no action, for any other key.
bool PressCameraKey(unsigned char key);
// The primitives menu: points (0), GL_LINE or GL_FILL.
void ChoosePrimitiveMode(unsigned int mode);
// The wheel over the main view at window pixel (x, y): `notches` notches
// towards the canvas point under the pointer (away when negative), which
// stays under it (camera/view_ray.h). One settings action.
void ZoomCameraAt(int x, int y, int notches);
// The camera moved `right` and `up` steps of a tenth of the canvas the view
// shows, along its side and up axes. One settings action.
void PanCamera(int right, int up);
// Painting under the pointer on or off: one preference action.
void SetPaintUnderPointer(bool on);
