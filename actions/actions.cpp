#include "actions/actions.h"

#include <algorithm>

#include "actions/build_hooks.h"
#include "actions/readback.h"
#include "actions/trace.h"
#include "image/filters.h"
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

}  // namespace

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
  switch (report_.kind) {
    case ActionKind::kPaintPoint:
      ++revisions.painted;
      break;
    // The selection, the colour and the maps are told apart by the views
    // themselves; the maps reach the main view when its textures reload.
    case ActionKind::kSelect:
    case ActionKind::kPickColour:
    case ActionKind::kChooseMap:
    case ActionKind::kFilter:
      break;
    default:
      ++revisions.strokes;
      ++revisions.painted;
      break;
  }
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
  if (n >= 0 && n < kFilterCount) ApplyFilter(SourceImage, FilteredImage, n);
  AppState().interaction.syncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void ShowUnfilteredSource() {
  ActionScope scope(ActionKind::kFilter);
  FilteredImage.CopyFrom(SourceImage);
  AppState().interaction.syncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void ChooseSourceImage(const std::string& path) {
  ActionScope scope(ActionKind::kFilter);
  ChooseFile(AppState().maps, MAP_SOURCE, path);
  SourceImage.LoadFrom(AppState().maps[MAP_SOURCE]);
  // A new source is shown through the vertical Sobel kernel first.
  ApplyFilter(SourceImage, FilteredImage, kFilterVerticalSobel);
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
