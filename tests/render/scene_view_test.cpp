// The views the main view's redraws and kept picture compare: every field
// of a view is compared, and each one reaches the decision that its part
// of the picture is drawn again.
#include "render/scene_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// A view made in memory filled with `fill`: its fields hold their start
// values, its padding keeps the fill.
std::vector<unsigned char> ViewBytes(unsigned char fill) {
  alignas(SceneView) unsigned char memory[sizeof(SceneView)];
  std::memset(memory, fill, sizeof memory);
  auto* view = new (memory) SceneView;
  std::vector<unsigned char> bytes(memory, memory + sizeof memory);
  view->~SceneView();
  return bytes;
}

// A field added to the view without a place in the visitor would go
// uncompared: every byte of a view is a visited field's or padding (the
// bytes that differ between views made in differently filled memory).
TEST(SceneView, TheVisitorVisitsEveryField) {
  SceneView view;
  std::vector<bool> visited(sizeof(SceneView), false);
  VisitViewFields(view, [&](auto& field, ViewPart) {
    const auto offset = reinterpret_cast<const unsigned char*>(&field) -
                        reinterpret_cast<const unsigned char*>(&view);
    for (std::size_t b = offset; b < offset + sizeof field; ++b) {
      EXPECT_FALSE(visited[b]) << "byte " << b << " visited twice";
      visited[b] = true;
    }
  });
  const std::vector<unsigned char> zeros = ViewBytes(0x00), ones = ViewBytes(0xFF);
  for (std::size_t b = 0; b < sizeof(SceneView); ++b) {
    const bool padding = zeros[b] != ones[b];
    EXPECT_TRUE(visited[b] || padding) << "byte " << b << " belongs to no visited field";
  }
}

// Each field changed alone is a reason to draw, and tells which part: the
// still picture, the stroke being painted, the outline, or only what is
// drawn over it. The camera's spin rates alone show nothing.
TEST(SceneView, EveryFieldChangedAloneReachesTheDecision) {
  const SceneView drawn;
  std::size_t fields = 0;
  VisitViewFields(drawn, [&](const auto&, ViewPart) { ++fields; });
  for (std::size_t changed = 0; changed < fields; ++changed) {
    SCOPED_TRACE(changed);
    SceneView now;
    ViewPart part = ViewPart::kNone;
    std::size_t index = 0;
    VisitViewFields(now, [&](auto& field, ViewPart fieldPart) {
      if (index++ != changed) return;
      reinterpret_cast<unsigned char*>(&field)[0] ^= 1;
      part = fieldPart;
    });
    const ViewChange change = CompareViews(drawn, now);
    EXPECT_EQ(change.any, part != ViewPart::kNone);
    EXPECT_EQ(change.still, part == ViewPart::kStill);
    EXPECT_EQ(change.painted, part == ViewPart::kPainted);
    EXPECT_EQ(change.selection, part == ViewPart::kSelection);
  }
  // A view keeps its value through copies; a Vec4's cached length is not part of it.
  SceneView measured;
  measured.cursorPosition.Length();
  EXPECT_FALSE(CompareViews(drawn, measured).any);

  // Only the spin rates are no reason to draw.
  SceneView view;
  std::vector<const void*> ignored;
  VisitViewFields(view, [&](auto& field, ViewPart part) {
    if (part == ViewPart::kNone) ignored.push_back(&field);
  });
  EXPECT_EQ(ignored, std::vector<const void*>{&view.camera.spin});
}

}  // namespace
