#include "app/actions.h"

#include <algorithm>

#include "app/build_hooks.h"
#include "app/readback.h"
#include "app/state.h"
#include "app/trace.h"
#include "image/filters.h"
#include "stroke/collisions.h"

namespace {

std::vector<ActionObserver*>& Observers() {
  static std::vector<ActionObserver*> observers;
  return observers;
}

std::uint64_t Revision = 0;

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
  if (TheCanvas.count < kStrokeCountLimit) scope.StrokeChanging(TheCanvas.count);
  TheCanvas.CommitStroke(PainterBuildContext());
}

void Collide(ActionScope& scope) {
  CheckCollisions(TheCanvas, TheCollisionFactors, TheStrokeSettings.subdivisionLevels,
                  [&scope](int slot) { scope.StrokeChanging(slot); });
}

// The selected stroke when a committed one is selected, with its slot
// announced as changing; nullptr otherwise.
Stroke* SelectedForChange(ActionScope& scope) {
  if (!HasSelectedStroke()) return nullptr;
  Stroke* stroke = TheCanvas.StrokeNumber(SelectedStroke);
  if (stroke) scope.StrokeChanging(SelectedStroke - 1);
  return stroke;
}

}  // namespace

void AddActionObserver(ActionObserver* observer) { Observers().push_back(observer); }

void RemoveActionObserver(ActionObserver* observer) {
  auto& observers = Observers();
  observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

std::uint64_t ActionRevision() { return Revision; }

ActionScope::ActionScope(ActionKind kind) {
  report_.kind = kind;
  Tell([kind](ActionObserver& o) { o.ActionStarting(kind); });
}

ActionScope::~ActionScope() {
  report_.revision = ++Revision;
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
  return BuildContext{TheStrokeSettings, TheRandom, PainterBuildHooks()};
}

bool HasSelectedStroke() { return TheCanvas.count > 0 && SelectedStroke != 0; }

void AddPaintedPoint(float x, float y) {
  ActionScope scope(ActionKind::kPaintPoint);
  TheCanvas.AddPoint(x, y);
}

void CommitPaintedStroke() {
  ActionScope scope(ActionKind::kCommit);
  Commit(scope);
  if (CollideAfterStroke) Collide(scope);
}

void SelectStroke(int number) {
  ActionScope scope(ActionKind::kSelect);
  SelectedStroke = number;
}

void DeleteSelectedStroke() {
  ActionScope scope(ActionKind::kDeleteSelected);
  // The slot and the numbers of the strokes after it stay; the selection
  // keeps pointing at the deleted stroke, which draws no outline.
  if (SelectedStroke == 0) return;
  scope.StrokeChanging(SelectedStroke - 1);
  TheCanvas.DeleteStroke(SelectedStroke - 1);
}

void DeleteAllStrokes() {
  ActionScope scope(ActionKind::kDeleteAll);
  scope.CurrentStrokeChanging();
  scope.AllStrokesChanging();
  TheCanvas.DeleteAll();
}

void ResizeSelectedStroke() {
  ActionScope scope(ActionKind::kResize);
  if (Stroke* stroke = SelectedForChange(scope))
    ResizeStroke(*stroke, TheStrokeSettings, TheRandom);
}

void GrowSelectedStroke(SizeAxis axis, float step) {
  if (!HasSelectedStroke()) return;
  StrokeSettings& settings = TheStrokeSettings;
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
  if (!TheCanvas.current.nodes.empty()) scope.CurrentStrokeChanging();
  const int width = MainWindowWidth, height = MainWindowHeight;
  std::vector<float> frame;
  ReadFrame(width, height, frame);
  const auto regions = TraceBrightRegions(FrameChannelReader(frame, width, height), width, height);
  for (const auto& region : regions) {
    // Traced nodes are not pointer positions: the canvas's last point stays.
    for (const LatticePoint& point : region)
      TheCanvas.AddGuardedNode(
          Vec4(2.0f * point.x / width - 1.0f, 2.0f * point.y / height - 1.0f, 0.0f, 0.0f));
    Commit(scope);
  }
}

void ChooseMapFile(MapSlot slot, const std::string& path) {
  ActionScope scope(ActionKind::kChooseMap);
  SetMapFile(slot, path);
  SyncRequested = 1;
  scope.TexturesChanged(kMapTextures);
}

void ApplyFilterChoice(int n) {
  ActionScope scope(ActionKind::kFilter);
  if (n >= 0 && n < kFilterCount) ApplyFilter(SourceImage, FilteredImage, n);
  SyncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void ShowUnfilteredSource() {
  ActionScope scope(ActionKind::kFilter);
  FilteredImage.CopyFrom(SourceImage);
  SyncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void ChooseSourceImage(const std::string& path) {
  ActionScope scope(ActionKind::kFilter);
  SetMapFile(MAP_SOURCE, path);
  SourceImage.Load(path);
  // A new source is shown through the vertical Sobel kernel first.
  ApplyFilter(SourceImage, FilteredImage, kFilterVerticalSobel);
  SyncRequested = 1;
  scope.TexturesChanged(Bit(TEX_FILTERED));
}

void PickColour(const Vec4& colour, float markerX, float markerY) {
  ActionScope scope(ActionKind::kPickColour);
  ColourMarkerX = markerX;
  ColourMarkerY = markerY;
  TheStrokeSettings.startColour = colour;
  TheStrokeSettings.endColour = colour;
}
