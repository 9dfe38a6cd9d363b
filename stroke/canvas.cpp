#include "stroke/canvas.h"

#include "app/state.h"
#include "stroke/build.h"

Canvas TheCanvas;

void Canvas::AddGuardedNode(const Vec4& position) {
  if (count >= kStrokeCountLimit) {
    count = kStrokeCountLimit;
    return;
  }
  AddNode(current, position);
}

void Canvas::AddPoint(float x, float y) {
  lastPoint = Vec4(x, y, 0.0f, 0.0f);
  AddGuardedNode(Vec4(x, y, 0.0f, 0.0f));
}

void Canvas::CommitStroke() {
  if (count >= kStrokeCountLimit) {
    count = kStrokeCountLimit;
    return;
  }
  Stroke& slot = strokes[count];
  slot = current;
  BuildStroke(slot);
  ++count;
  if (!current.nodes.empty()) ClearStroke(current);
}

void Canvas::DeleteStroke(int index) {
  if (index >= 0 && index < static_cast<int>(strokes.size()))
    strokes[index].deleted = 1;
}

void Canvas::DeleteAll() {
  ClearStroke(current);
  count = 0;
  strokes.assign(kStrokeCapacity, Stroke());
  lastPoint = Vec4();
}

Stroke* Canvas::StrokeNumber(int number) {
  if (number < 1 || number > count) return nullptr;
  return &strokes[number - 1];
}
