#include "actions/painting_history.h"

#include "state/state.h"

PaintingHistory::PaintingHistory(HistoryLimits limits) : history_(limits) {
  AddActionObserver(this);
}

PaintingHistory::~PaintingHistory() { RemoveActionObserver(this); }

void PaintingHistory::ActionStarting(ActionKind kind) {
  recording_ = TraitsOf(kind).undoStep;
  if (recording_) history_.Begin(AppState().canvas, AppState().interaction.selectedStroke);
}

void PaintingHistory::StrokeChanging(int slot) {
  if (recording_) history_.KeepStroke(AppState().canvas, slot);
}

void PaintingHistory::AllStrokesChanging() {
  if (recording_) history_.KeepAllStrokes(AppState().canvas);
}

void PaintingHistory::CurrentStrokeChanging() {
  if (recording_) history_.KeepCurrent(AppState().canvas);
}

void PaintingHistory::ActionFinished(const ActionReport&) {
  if (!recording_) return;
  recording_ = false;
  history_.End(AppState().canvas, AppState().interaction.selectedStroke);
}

bool PaintingHistory::Undo() { return Step(ActionKind::kUndo); }

bool PaintingHistory::Redo() { return Step(ActionKind::kRedo); }

bool PaintingHistory::Step(ActionKind kind) {
  const bool undo = kind == ActionKind::kUndo;
  ApplicationState& state = AppState();
  if (state.interaction.painting || (undo ? history_.UndoSteps() : history_.RedoSteps()) == 0)
    return false;
  ActionScope scope(kind);
  if (undo ? history_.UndoReplacesAll() : history_.RedoReplacesAll()) scope.AllStrokesReplaced();
  for (int slot : undo ? history_.UndoSlots() : history_.RedoSlots()) scope.StrokeChanging(slot);
  int& selection = state.interaction.selectedStroke;
  return undo ? history_.Undo(state.canvas, selection) : history_.Redo(state.canvas, selection);
}
