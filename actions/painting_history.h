#pragma once
// Undo and redo: a step is one action a person takes on the canvas (a commit with the pile-ups it caused, Delete Selected, Delete All,
// a resize or rebuild of the selected stroke, the crossing check, an
// auto-trace), kept as the strokes it changed were before it.

#include "actions/actions.h"
#include "stroke/history.h"

class PaintingHistory : public ActionObserver {
 public:
  // Listens to the painter's actions from now on.
  explicit PaintingHistory(HistoryLimits limits = HistoryLimits());
  ~PaintingHistory() override;
  PaintingHistory(const PaintingHistory&) = delete;
  PaintingHistory& operator=(const PaintingHistory&) = delete;

  // One step back or forward; false when there is none, or while a stroke
  // is being painted.
  bool Undo();
  bool Redo();

  const CanvasHistory& Steps() const { return history_; }

  void ActionStarting(ActionKind kind) override;
  void StrokeChanging(int slot) override;
  void AllStrokesChanging() override;
  void CurrentStrokeChanging() override;
  void ActionFinished(const ActionReport& report) override;

 private:
  // Undo and redo alike, as one action of `kind` the observers hear.
  bool Step(ActionKind kind);

  CanvasHistory history_;
  bool recording_ = false;
};
