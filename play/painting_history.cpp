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

bool PaintingHistory::Undo() { return Step(ActionKind::kUndo); }

bool PaintingHistory::Redo() { return Step(ActionKind::kRedo); }

bool PaintingHistory::Step(ActionKind kind) {
  const bool undo = kind == ActionKind::kUndo;
  if (Painting || (undo ? history_.UndoSteps() : history_.RedoSteps()) == 0) return false;
  ActionScope scope(kind);
  if (undo ? history_.UndoReplacesAll() : history_.RedoReplacesAll()) scope.AllStrokesReplaced();
  for (int slot : undo ? history_.UndoSlots() : history_.RedoSlots()) scope.StrokeChanging(slot);
  return undo ? history_.Undo(TheCanvas, SelectedStroke) : history_.Redo(TheCanvas, SelectedStroke);
}
