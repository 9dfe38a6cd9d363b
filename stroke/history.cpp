#include "stroke/history.h"

#include <algorithm>
#include <utility>

namespace {

template <typename Array>
std::size_t ArrayBytes(const Array& array) {
  return array.capacity() * sizeof(typename Array::value_type);
}

std::size_t MeshBytes(const std::optional<Mesh>& mesh) {
  if (!mesh) return 0;
  return ArrayBytes(mesh->positions) + ArrayBytes(mesh->normals) + ArrayBytes(mesh->colours) +
         ArrayBytes(mesh->texCoords) + ArrayBytes(mesh->faces);
}

}  // namespace

std::size_t StrokeBytes(const Stroke& s) {
  return sizeof(Stroke) + ArrayBytes(s.profile) + ArrayBytes(s.path) + ArrayBytes(s.nodes) +
         ArrayBytes(s.size.startColours) + ArrayBytes(s.size.endColours) +
         MeshBytes(s.subdivision.baseMesh) + MeshBytes(s.subdivision.resultMesh) +
         ArrayBytes(s.subdivision.edges) + ArrayBytes(s.subdivision.edgeFaces) +
         ArrayBytes(s.subdivision.faceEdges) + s.subdivision.edgeIndex.Bytes() +
         ArrayBytes(s.particles.positions) + ArrayBytes(s.particles.colours) +
         ArrayBytes(s.particles.sizes);
}

CanvasHistory::CanvasHistory(HistoryLimits limits) : limits_(limits) {}

void CanvasHistory::Begin(const Canvas& canvas, int selection) {
  // Assigned rather than emplaced: clang decides whether a nested class
  // with member initialisers is default-constructible before it has read
  // them, and refuses emplace() without arguments.
  open_ = Step();
  open_->count = canvas.count;
  open_->selection = selection;
}

void CanvasHistory::KeepStroke(const Canvas& canvas, int slot) {
  if (!open_ || open_->allStrokes || slot < 0 || slot >= static_cast<int>(canvas.strokes.size()))
    return;
  for (const auto& kept : open_->strokes)
    if (kept.first == slot) return;
  open_->strokes.emplace_back(slot, canvas.strokes[slot]);
}

void CanvasHistory::KeepAllStrokes(Canvas& canvas) {
  if (!open_ || open_->allStrokes) return;
  // Records kept one by one so far are superseded by the whole array.
  open_->strokes.clear();
  open_->allStrokes.emplace(canvas.strokes.size());
  std::swap(*open_->allStrokes, canvas.strokes);
}

void CanvasHistory::KeepCurrent(const Canvas& canvas) {
  if (!open_ || open_->current) return;
  open_->current = canvas.current;
  open_->lastPoint = canvas.lastPoint;
}

void CanvasHistory::End(const Canvas& canvas, int selection) {
  if (!open_) return;
  Step step = std::move(*open_);
  open_.reset();
  const bool changed = !step.strokes.empty() || step.allStrokes || step.current ||
                       step.count != canvas.count || step.selection != selection;
  if (!changed) return;
  for (const Step& dropped : redo_) bytes_ -= dropped.bytes;
  redo_.clear();
  step.bytes = Measure(step);
  bytes_ += step.bytes;
  undo_.push_back(std::move(step));
  Trim();
}

std::size_t CanvasHistory::Measure(const Step& step) {
  std::size_t bytes = sizeof(Step);
  for (const auto& kept : step.strokes) bytes += StrokeBytes(kept.second);
  if (step.allStrokes)
    for (const Stroke& stroke : *step.allStrokes) bytes += StrokeBytes(stroke);
  if (step.current) bytes += StrokeBytes(*step.current);
  return bytes;
}

void CanvasHistory::Trim() {
  while (undo_.size() > 1 && (undo_.size() > limits_.steps || bytes_ > limits_.bytes)) {
    bytes_ -= undo_.front().bytes;
    undo_.pop_front();
  }
}

void CanvasHistory::Swap(Step& step, Canvas& canvas, int& selection) {
  for (auto& [slot, stroke] : step.strokes) std::swap(canvas.strokes[slot], stroke);
  if (step.allStrokes) std::swap(canvas.strokes, *step.allStrokes);
  if (step.current) std::swap(canvas.current, *step.current);
  if (step.lastPoint) std::swap(canvas.lastPoint, *step.lastPoint);
  std::swap(canvas.count, step.count);
  std::swap(selection, step.selection);
}

namespace {

// The slots the newest step of `steps` keeps.
template <typename Steps>
std::vector<int> SlotsOf(const Steps& steps) {
  std::vector<int> slots;
  if (steps.empty()) return slots;
  for (const auto& kept : steps.back().strokes) slots.push_back(kept.first);
  return slots;
}

}  // namespace

std::vector<int> CanvasHistory::UndoSlots() const { return SlotsOf(undo_); }
std::vector<int> CanvasHistory::RedoSlots() const { return SlotsOf(redo_); }
bool CanvasHistory::UndoReplacesAll() const { return !undo_.empty() && undo_.back().allStrokes; }
bool CanvasHistory::RedoReplacesAll() const { return !redo_.empty() && redo_.back().allStrokes; }

bool CanvasHistory::Move(std::deque<Step>& from, std::deque<Step>& to, Canvas& canvas,
                         int& selection) {
  if (from.empty()) return false;
  Step step = std::move(from.back());
  from.pop_back();
  bytes_ -= step.bytes;
  Swap(step, canvas, selection);
  step.bytes = Measure(step);
  bytes_ += step.bytes;
  to.push_back(std::move(step));
  Trim();
  return true;
}

bool CanvasHistory::Undo(Canvas& canvas, int& selection) {
  return Move(undo_, redo_, canvas, selection);
}

bool CanvasHistory::Redo(Canvas& canvas, int& selection) {
  return Move(redo_, undo_, canvas, selection);
}

void CanvasHistory::Clear() {
  undo_.clear();
  redo_.clear();
  open_.reset();
  bytes_ = 0;
}
