#include "play/painting_history.h"

#include "app/state.h"

namespace {

bool IsStep(ActionKind kind) {
  switch (kind) {
    case ActionKind::kCommit:
    case ActionKind::kDeleteSelected:
    case ActionKind::kDeleteAll:
    case ActionKind::kResize:
    case ActionKind::kUpdate:
    case ActionKind::kCollide:
    case ActionKind::kAutoTrace:
      return true;
    default:
      return false;
  }
}

}  // namespace

PaintingHistory::PaintingHistory(HistoryLimits limits) : history_(limits) {
  AddActionObserver(this);
}

PaintingHistory::~PaintingHistory() { RemoveActionObserver(this); }

void PaintingHistory::ActionStarting(ActionKind kind) {
  recording_ = IsStep(kind);
  if (recording_) history_.Begin(TheCanvas, SelectedStroke);
}

void PaintingHistory::StrokeChanging(int slot) {
  if (recording_) history_.KeepStroke(TheCanvas, slot);
}

void PaintingHistory::AllStrokesChanging() {
  if (recording_) history_.KeepAllStrokes(TheCanvas);
}

void PaintingHistory::CurrentStrokeChanging() {
  if (recording_) history_.KeepCurrent(TheCanvas);
}

void PaintingHistory::ActionFinished(const ActionReport&) {
  if (!recording_) return;
  recording_ = false;
  history_.End(TheCanvas, SelectedStroke);
}

bool PaintingHistory::Undo() {
  if (Painting || history_.UndoSteps() == 0) return false;
  ActionScope scope(ActionKind::kUndo);
  if (history_.UndoReplacesAll()) scope.AllStrokesReplaced();
  for (int slot : history_.UndoSlots()) scope.StrokeChanging(slot);
  return history_.Undo(TheCanvas, SelectedStroke);
}

bool PaintingHistory::Redo() {
  if (Painting || history_.RedoSteps() == 0) return false;
  ActionScope scope(ActionKind::kRedo);
  if (history_.RedoReplacesAll()) scope.AllStrokesReplaced();
  for (int slot : history_.RedoSlots()) scope.StrokeChanging(slot);
  return history_.Redo(TheCanvas, SelectedStroke);
}
