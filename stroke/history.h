#pragma once
// Undo and redo for a canvas. A step keeps only what one action changed,
// as it was before: the records of the strokes it changed (with their
// meshes and particles), the stroke count and selection, and, when the
// action touched them, the stroke being painted and the last painted point.
// Undoing swaps those back into the canvas and keeps the canvas's records
// in their place, so redoing is the same swap again: neither copies.
//
// Recording a step: Begin, then Keep... before each change, then End.

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "stroke/stroke.h"

struct HistoryLimits {
  std::size_t steps = 200;         // undo steps kept
  std::size_t bytes = 512u << 20;  // the kept records' memory, undo and redo sides together;
                                   // the newest step is kept whatever its size
};

class CanvasHistory {
 public:
  explicit CanvasHistory(HistoryLimits limits = HistoryLimits());

  void Begin(const Canvas& canvas, int selection);
  // Before slot `slot` changes; once per step and slot is enough.
  void KeepStroke(const Canvas& canvas, int slot);
  // Before every slot is replaced by an empty stroke (Delete All): the
  // records are taken, not copied, and empty ones left in their place.
  void KeepAllStrokes(Canvas& canvas);
  // Before the stroke being painted (and the last painted point) change.
  void KeepCurrent(const Canvas& canvas);
  // Closes the step. A step that changed nothing is dropped; any other
  // clears the steps that could be redone and may drop the oldest ones.
  void End(const Canvas& canvas, int selection);

  // The slots the next undo or redo swaps (empty when it swaps them all or
  // there is nothing to undo or redo).
  std::vector<int> UndoSlots() const;
  std::vector<int> RedoSlots() const;
  bool UndoReplacesAll() const;
  bool RedoReplacesAll() const;

  // False when there is nothing to undo or redo.
  bool Undo(Canvas& canvas, int& selection);
  bool Redo(Canvas& canvas, int& selection);

  std::size_t UndoSteps() const { return undo_.size(); }
  std::size_t RedoSteps() const { return redo_.size(); }
  std::size_t Bytes() const { return bytes_; }
  void Clear();

 private:
  struct Step {
    std::vector<std::pair<int, Stroke>> strokes;  // slot, the other side's record
    std::optional<std::vector<Stroke>> allStrokes;
    std::optional<Stroke> current;
    std::optional<Vec4> lastPoint;
    int count = 0;
    int selection = 0;
    std::size_t bytes = 0;
  };
  static void Swap(Step& step, Canvas& canvas, int& selection);
  static std::size_t Measure(const Step& step);
  // Undo and redo alike: the last step of `from` swapped into the canvas
  // and kept at the end of `to`.
  bool Move(std::deque<Step>& from, std::deque<Step>& to, Canvas& canvas, int& selection);
  void Trim();

  HistoryLimits limits_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  std::optional<Step> open_;
  std::size_t bytes_ = 0;
};

// The memory a stroke's arrays hold, roughly: what a history keeps for it.
std::size_t StrokeBytes(const Stroke& stroke);
