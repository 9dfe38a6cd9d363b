#include "actions/actions.h"

#include <algorithm>
#include <iterator>

#include "actions/build_hooks.h"
#include "actions/readback.h"
#include "actions/trace.h"
#include "camera/camera.h"
#include "camera/view_ray.h"
#include "image/filters.h"
#include "state/redraw.h"
#include "state/state.h"
#include "stroke/canvas_plane.h"
#include "stroke/collisions.h"

namespace {

std::vector<ActionObserver*>& Observers() {
  static std::vector<ActionObserver*> observers;
  return observers;
}

template <typename Notify>
void Tell(Notify notify) {
  for (ActionObserver* observer : Observers()) notify(*observer);
}

constexpr std::uint32_t Bit(unsigned int texture) { return 1u << texture; }

constexpr std::uint32_t kMapTextures =
    Bit(TEX_MESH) | Bit(TEX_PARTICLE_BRUSH) | Bit(TEX_PARTICLE_HALO) | Bit(TEX_DETAIL) |
    Bit(TEX_HEIGHT) | Bit(TEX_SPECTRUM) | Bit(TEX_PAPER) | Bit(TEX_BRUSH) | Bit(TEX_GRID);

// Commits the painted stroke and, with "C" ticked, piles it up: the part a
// released button, an arrow key and every traced region share.
void Commit(ActionScope& scope) {
  Canvas& canvas = AppState().canvas;
  if (canvas.count < kStrokeCountLimit) scope.StrokeChanging(canvas.count);
  canvas.CommitStroke(PainterBuildContext());
}

void Collide(ActionScope& scope) {
  ApplicationState& state = AppState();
  CheckCollisions(state.canvas, state.collisions.factors, state.strokeSettings.subdivisionLevels,
                  [&scope](int slot) { scope.StrokeChanging(slot); });
}

// The selected stroke when a committed one is selected, with its slot
// announced as changing; nullptr otherwise.
Stroke* SelectedForChange(ActionScope& scope) {
  if (!HasSelectedStroke()) return nullptr;
  const int selected = AppState().interaction.selectedStroke;
  Stroke* stroke = AppState().canvas.StrokeNumber(selected);
  if (stroke) scope.StrokeChanging(selected - 1);
  return stroke;
}

// A map chosen from its folder is read from its file again, whatever
// bytes a painting had brought for the slot.
void ChooseFile(MapFileTable& maps, MapSlot slot, const std::string& path) {
  maps.files[slot] = path;
  maps.embedded[slot].reset();
}

// The selection, the colour, the maps and the settings (a brush's too:
// settings changes are no undo steps) move no revision:
// the views tell them apart themselves, and the maps reach the main view
// when its textures reload. Painting a node changes only the stroke being
// painted, which no painting keeps.
// clang-format off
constexpr ActionTraits kTraits[] = {
//  kind                          strokes painted undo   painting
    {ActionKind::kPaintPoint,     false,  true,   false, false},
    {ActionKind::kCommit,         true,   true,   true,  true},
    {ActionKind::kSelect,         false,  false,  false, true},
    {ActionKind::kDeleteSelected, true,   true,   true,  true},
    {ActionKind::kDeleteAll,      true,   true,   true,  true},
    {ActionKind::kResize,         true,   true,   true,  true},
    {ActionKind::kUpdate,         true,   true,   true,  true},
    {ActionKind::kCollide,        true,   true,   true,  true},
    {ActionKind::kAutoTrace,      true,   true,   true,  true},
    {ActionKind::kChooseMap,      false,  false,  false, true},
    {ActionKind::kFilter,         false,  false,  false, true},
    {ActionKind::kPickColour,     false,  false,  false, true},
    {ActionKind::kUndo,           true,   true,   false, true},
    {ActionKind::kRedo,           true,   true,   false, true},
    {ActionKind::kOpen,           true,   true,   true,  true},
    {ActionKind::kSettings,       false,  false,  false, true},
    {ActionKind::kPreference,     false,  false,  false, false},
    {ActionKind::kApplyBrush,     false,  false,  false, true},
};
// clang-format on
static_assert(std::size(kTraits) == static_cast<std::size_t>(ActionKind::kCount),
              "every kind of action has its row");

}  // namespace

const ActionTraits& TraitsOf(ActionKind kind) { return kTraits[static_cast<std::size_t>(kind)]; }

void AddActionObserver(ActionObserver* observer) { Observers().push_back(observer); }

void RemoveActionObserver(ActionObserver* observer) {
  auto& observers = Observers();
  observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

std::uint64_t ActionRevision() { return AppState().revisions.actions; }

ActionScope::ActionScope(ActionKind kind) {
  report_.kind = kind;
  Tell([kind](ActionObserver& o) { o.ActionStarting(kind); });
}

ActionScope::~ActionScope() {
  Revisions& revisions = AppState().revisions;
  report_.revision = ++revisions.actions;
  const ActionTraits& traits = TraitsOf(report_.kind);
  if (traits.movesStrokes) ++revisions.strokes;
  if (traits.movesPainted) ++revisions.painted;
  ViewReported();
  Tell([this](ActionObserver& o) { o.ActionFinished(report_); });
}

void ActionScope::StrokeChanging(int slot) {
  if (report_.allStrokes) return;
  if (std::find(report_.strokes.begin(), report_.strokes.end(), slot) != report_.strokes.end())
    return;
  report_.strokes.push_back(slot);
  Tell([slot](ActionObserver& o) { o.StrokeChanging(slot); });
}

void ActionScope::AllStrokesChanging() {
  if (report_.allStrokes) return;
  report_.allStrokes = true;
  Tell([](ActionObserver& o) { o.AllStrokesChanging(); });
}

void ActionScope::CurrentStrokeChanging() {
  Tell([](ActionObserver& o) { o.CurrentStrokeChanging(); });
}

BuildContext PainterBuildContext() {
  ApplicationState& state = AppState();
  return BuildContext{state.strokeSettings, state.random, PainterBuildHooks()};
}

bool HasSelectedStroke() {
  return AppState().canvas.count > 0 && AppState().interaction.selectedStroke != 0;
}

void AddPaintedPoint(float x, float y, float pressure) {
  ActionScope scope(ActionKind::kPaintPoint);
  AppState().canvas.AddPoint(x, y, pressure);
}

void CommitPaintedStroke() {
  ActionScope scope(ActionKind::kCommit);
  Commit(scope);
  if (AppState().collisions.afterStroke) Collide(scope);
}

void SelectStroke(int number) {
  ActionScope scope(ActionKind::kSelect);
  AppState().interaction.selectedStroke = number;
}

void DeleteSelectedStroke() {
  ActionScope scope(ActionKind::kDeleteSelected);
  // The slot and the numbers of the strokes after it stay; the selection
  // keeps pointing at the deleted stroke, which draws no outline.
  const int selected = AppState().interaction.selectedStroke;
  if (selected == 0) return;
  scope.StrokeChanging(selected - 1);
  AppState().canvas.DeleteStroke(selected - 1);
}

void DeleteAllStrokes() {
  ActionScope scope(ActionKind::kDeleteAll);
  scope.CurrentStrokeChanging();
  scope.AllStrokesChanging();
  AppState().canvas.DeleteAll();
}

void ResizeSelectedStroke() {
  ActionScope scope(ActionKind::kResize);
  if (Stroke* stroke = SelectedForChange(scope))
    ResizeStroke(*stroke, AppState().strokeSettings, AppState().random);
}

void GrowSelectedStroke(SizeAxis axis, float step) {
  if (!HasSelectedStroke()) return;
  StrokeSettings& settings = AppState().strokeSettings;
  if (axis != SizeAxis::kHeight) {
    settings.widthStart += step;
    settings.widthEnd = 0.0f;
  }
  if (axis != SizeAxis::kWidth) {
    settings.heightStart += step;
    settings.heightEnd = 0.0f;
  }
  ResizeSelectedStroke();
}

void ShiftCollisionFactors(SizeAxis axis, float step) {
  if (!HasSelectedStroke()) return;
  CollisionFactors& factors = AppState().collisions.factors;
  float& start = axis == SizeAxis::kHeight ? factors.heightStart : factors.widthStart;
  float& end = axis == SizeAxis::kHeight ? factors.heightEnd : factors.widthEnd;
  start += step;
  end -= step;
  ResizeSelectedStroke();
}

void UpdateSelectedStroke() {
  ActionScope scope(ActionKind::kUpdate);
  if (Stroke* stroke = SelectedForChange(scope)) UpdateStroke(*stroke, PainterBuildContext());
}

void CollideStrokes() {
  ActionScope scope(ActionKind::kCollide);
  Collide(scope);
}

void AutoTrace() {
  ActionScope scope(ActionKind::kAutoTrace);
  Canvas& canvas = AppState().canvas;
  if (!canvas.current.nodes.empty()) scope.CurrentStrokeChanging();
  const int width = AppState().windows.main.width, height = AppState().windows.main.height;
  std::vector<float> frame;
  ReadFrame(width, height, frame);
  const auto regions = TraceBrightRegions(FrameChannelReader(frame, width, height), width, height);
  for (const auto& region : regions) {
    // Traced nodes are not pointer positions: the canvas's last point stays.
    for (const LatticePoint& point : region)
      canvas.AddGuardedNode(CanvasPointOfGlPixel(point.x, point.y, width, height));
    Commit(scope);
  }
}

void ChooseMapFile(MapSlot slot, const std::string& path) {
  ActionScope scope(ActionKind::kChooseMap);
  ChooseFile(AppState().maps, slot, path);
  AppState().interaction.syncRequested = 1;
  scope.TexturesChanged(kMapTextures);
}

void ApplyFilterChoice(int n) {
  ActionScope scope(ActionKind::kFilter);
  Pictures& pictures = AppState().pictures;
  if (n >= 0 && n < kFilterCount) ApplyFilter(pictures.source, pictures.filtered, n);
  AppState().interaction.syncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void ShowUnfilteredSource() {
  ActionScope scope(ActionKind::kFilter);
  AppState().pictures.filtered.CopyFrom(AppState().pictures.source);
  AppState().interaction.syncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void ChooseSourceImage(const std::string& path) {
  ActionScope scope(ActionKind::kFilter);
  ChooseFile(AppState().maps, MAP_SOURCE, path);
  Pictures& pictures = AppState().pictures;
  pictures.source.LoadFrom(AppState().maps[MAP_SOURCE]);
  // A new source is shown through the vertical Sobel kernel first.
  ApplyFilter(pictures.source, pictures.filtered, kFilterVerticalSobel);
  AppState().interaction.syncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void PickColour(const Vec4& colour, float markerX, float markerY) {
  ActionScope scope(ActionKind::kPickColour);
  ApplicationState& state = AppState();
  state.colourMarker = ColourMarker{markerX, markerY};
  state.strokeSettings.startColour = colour;
  state.strokeSettings.endColour = colour;
}

void ApplyBrushSettings(const StrokeSettings& stroke, const CollisionFactors& collisions,
                        const std::vector<MapChoice>& maps) {
  ActionScope scope(ActionKind::kApplyBrush);
  ApplicationState& state = AppState();
  state.strokeSettings = stroke;
  state.collisions.factors = collisions;
  for (const MapChoice& map : maps) ChooseFile(state.maps, map.slot, map.path);
  if (!maps.empty()) scope.TexturesChanged(kMapTextures);
}

void SettingChanged() { ActionScope scope(ActionKind::kSettings); }

bool PressCameraKey(unsigned char key) {
  ApplicationState& state = AppState();
  if (!HandleCameraKey(state.camera, state.light, key)) return false;
  SettingChanged();
  return true;
}

void ChoosePrimitiveMode(unsigned int mode) {
  AppState().interaction.primitiveMode = mode;
  SettingChanged();
}

void ZoomCameraAt(int x, int y, int notches) {
  Camera& camera = AppState().camera;
  static_cast<CameraPose&>(camera) =
      ZoomedAtPixel(camera, camera.width, camera.height, x, y, notches);
  SettingChanged();
}

void PanCamera(int right, int up) {
  Camera& camera = AppState().camera;
  static_cast<CameraPose&>(camera) = PannedBySteps(camera, camera.width, camera.height, right, up);
  SettingChanged();
}

void SetPaintUnderPointer(bool on) {
  ActionScope scope(ActionKind::kPreference);
  AppState().interaction.paintUnderPointer = on ? 1 : 0;
}
