// What the main view draws again: every field of a view is compared, and
// each one reaches the decision that its part of the picture is drawn
// again; screen boxes meet when they share an edge, and the index of
// stroke boxes finds the strokes that testing each one finds.
#include "render/scene_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/random.h"
#include "render/screen_boxes.h"
#include "render/stroke_index.h"

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

// Boxes meet when they overlap or share an edge or a corner (edges are
// pixels that belong to the box); an empty box meets nothing. Each case is
// tested both ways round, so a box on the right is one on the left too.
TEST(ScreenBoxes, MeetOnSharedEdgesAndCorners) {
  auto Box = [](double x0, double y0, double x1, double y1) {
    ScreenBox box;
    box.Add(x0, y0);
    box.Add(x1, y1);
    return box;
  };
  const ScreenBox middle = Box(10, 10, 20, 20);
  const struct { ScreenBox other; bool meets; const char* what; } cases[] = {
      {Box(15, 15, 30, 30), true, "overlapping"},
      {Box(20, 12, 30, 18), true, "touching on the right"},
      {Box(12, 20, 18, 30), true, "touching on the top"},
      {Box(20, 20, 25, 25), true, "touching at a corner"},
      {Box(20.5, 12, 30, 18), false, "half a pixel to the right"},
      {Box(12, 0, 18, 9.5), false, "half a pixel below"},
      {ScreenBox(), false, "empty"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(middle.Meets(c.other), c.meets) << c.what;
    EXPECT_EQ(c.other.Meets(middle), c.meets) << c.what << ", the other way round";
  }
}

// On random canvases (strokes deleted, strokes drawing nothing, strokes
// nested in others) and through random projections (some of them putting
// strokes behind the eye), the index finds exactly the strokes that
// testing each kept box finds, for boxes of every size.
TEST(StrokeIndex, FindsWhatTestingEveryStrokeFinds) {
  RandomGenerator random;
  auto between = [&random](double low, double high) { return low + (high - low) * random.Unit(); };
  Canvas canvas;
  StrokeIndex index;
  const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const int viewport[4] = {0, 0, 675, 675};
  std::uint64_t revision = 0;
  for (int count : {0, 1, 7, 300}) {
    canvas.count = count;
    for (int slot = 0; slot < count; ++slot) {
      Stroke& stroke = canvas.strokes[slot];
      stroke = Stroke();
      stroke.deleted = random.Unit() < 0.1f;
      if (random.Unit() < 0.05f) continue;  // nothing to draw
      const float x = between(-1, 1), y = between(-1, 1);
      stroke.reach.whole.Add(x, y, 0);
      stroke.reach.whole.Add(x + between(0, 0.3) * random.Unit(), y + between(0, 0.3),
                             between(0, 0.05));
    }
    index.Update(canvas, ++revision);
    for (int camera = 0; camera < 8; ++camera) {
      double projection[16];
      for (double& entry : projection) entry = between(-1, 1);
      projection[15] = between(0.5, 2.5);  // w: the eye in front of most strokes
      const ScreenProjection screen(identity, projection, viewport);
      for (int query = 0; query < 50; ++query) {
        ScreenBox box;
        const double x = between(-10, 690), y = between(-10, 690);
        const double side = query % 2 ? 8 : between(0, 300);
        box.Add(x, y);
        box.Add(x + side, y + side);
        SCOPED_TRACE(testing::Message() << count << " strokes, camera " << camera << ", query "
                                        << query);
        EXPECT_EQ(index.Reaching(screen, box).slots, StrokesReaching(screen, box, canvas).slots);
      }
    }
  }
}

}  // namespace
