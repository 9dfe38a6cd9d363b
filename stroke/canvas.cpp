#include "stroke/build.h"

namespace {

bool HoldsNoMore(int& count) {
  if (count < kStrokeCountLimit) return false;
  count = kStrokeCountLimit;
  return true;
}

}  // namespace

void Canvas::AddGuardedNode(const Vec4& position) {
  if (!HoldsNoMore(count)) AddNode(current, position);
}

void Canvas::AddPoint(float x, float y, float pressure) {
  lastPoint = Vec4(x, y, 0.0f, 0.0f);
  if (!HoldsNoMore(count)) AddNode(current, Vec4(x, y, 0.0f, 0.0f), pressure);
}

int Canvas::CommitStroke(const BuildContext& build) {
  if (count >= kStrokeCountLimit) {
    count = kStrokeCountLimit;
    return -1;
  }
  const int slot = count;
  strokes[slot] = current;
  BuildStroke(strokes[slot], build);
  ++count;
  if (!current.nodes.empty()) ClearStroke(current);
  return slot;
}

void Canvas::DeleteStroke(int index) {
  if (index >= 0 && index < static_cast<int>(strokes.size())) strokes[index].deleted = 1;
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
