#pragma once
// What one picture of the main view shows, as one value: the scene pass
// draws from it and nothing else, so two equal views draw the same pixels.
// The redraw tracking compares the view a frame was drawn from with the view
// now, and so does the kept picture of what stands still (render/scene.h):
// a field of the view is a reason to draw again, and which part of the
// picture it belongs to says how much.

#include <cstdint>
#include <type_traits>

#include "camera/camera.h"
#include "camera/display_toggles.h"
#include "camera/light.h"
#include "stroke/stroke.h"

// GL state a frame starts from, as the frame before it left it: meshes drawn
// as points take the point size set last, and the light position given at
// the end of a frame (in eye coordinates) lights the next one. After a
// resize the window's buffers take the new size only once a frame or two
// have been presented: until then every frame is drawn whole.
struct FrameStart {
  float pointSize = 1.0f;
  float lightPosition[4] = {0, 0, 0, 0};
  int framesAfterResize = 0;  // counts down to 0 as those frames are drawn
};

// How the cursor's brush square sits on its point: its corner there, the
// square reaching right and up (the view's own), centred on it (painting
// under the pointer), or not drawn (the pointer's ray misses the canvas).
enum class CursorPlacement { kCorner, kCentred, kNone };

struct SceneView {
  // The strokes: the one being painted and the committed ones.
  const Canvas* canvas = nullptr;
  std::uint64_t strokesRevision = 0;  // moves whenever a committed stroke changes
  std::uint64_t paintedRevision = 0;  // moves whenever the stroke being painted does
  DisplayToggles display;
  unsigned int primitiveMode = kPolygonModeFill;
  int selectedStroke = 0;  // 1-based; its bounds are outlined; 0 = none
  Vec4 cursorPosition;     // on the canvas plane, z = w = 0
  CursorPlacement cursorPlacement = CursorPlacement::kCorner;
  // Set when the camera moves over a large painting: strokes may be drawn
  // from their base meshes rather than the subdivided ones.
  int coarse = 0;
  // The camera the picture is seen through (its spin rates are not part of
  // the picture: the pose they turn is), and the light.
  Camera camera;
  Light light;
  std::uint64_t texturesRevision = 0;  // the maps the main window's context holds
  FrameStart frameStart;
  // A notice drawn over the picture comes or goes (its text is drawn by
  // the control layer after the scene).
  std::uint64_t noticeRevision = 0;
};

// What a difference between the view a frame was drawn from and the view
// now asks of the picture. The parts are drawn in this order: the still
// picture (the backdrop, the stroke being painted, the committed strokes
// with their outlines), then the overlays (the axes and the cursor).
struct ViewChange {
  bool any = false;        // something shown differs: draw a frame
  bool still = false;      // the still picture must be drawn again, all of it
  bool painted = false;    // the stroke being painted changed
  bool selection = false;  // the outlined stroke changed
};

ViewChange CompareViews(const SceneView& drawn, const SceneView& now);

// Which part of the picture each field of a view belongs to; every field is
// visited, in declaration order (the nested records' fields one by one), so
// that a comparison cannot leave one out.
enum class ViewPart { kStill, kPainted, kSelection, kOverlay, kNone };

template <typename View, typename Visit>
void VisitViewFields(View& view, Visit&& visit) {
  visit(view.canvas, ViewPart::kStill);
  visit(view.strokesRevision, ViewPart::kStill);
  visit(view.paintedRevision, ViewPart::kPainted);
  visit(view.display.lightOn, ViewPart::kStill);
  visit(view.display.paperOn, ViewPart::kStill);  // the backdrop (and the cursor's colour)
  visit(view.display.axesOn, ViewPart::kOverlay);
  visit(view.display.cursorOn, ViewPart::kOverlay);
  visit(view.display.showNodes, ViewPart::kStill);
  visit(view.primitiveMode, ViewPart::kStill);
  visit(view.selectedStroke, ViewPart::kSelection);
  visit(view.cursorPosition, ViewPart::kOverlay);
  visit(view.cursorPlacement, ViewPart::kOverlay);
  visit(view.coarse, ViewPart::kStill);
  // The camera's pose, field by field, as its list gives them.
  using Pose = std::conditional_t<std::is_const_v<View>, const CameraPose, CameraPose>;
  VisitSettings(static_cast<Pose&>(view.camera),
                [&](const SettingKey&, auto& field) { visit(field, ViewPart::kStill); });
  visit(view.camera.width, ViewPart::kStill);
  visit(view.camera.height, ViewPart::kStill);
  visit(view.camera.spin, ViewPart::kNone);
  visit(view.light.rotation, ViewPart::kStill);
  visit(view.light.position, ViewPart::kStill);
  visit(view.texturesRevision, ViewPart::kStill);
  visit(view.frameStart.pointSize, ViewPart::kStill);
  visit(view.frameStart.lightPosition, ViewPart::kStill);
  visit(view.frameStart.framesAfterResize, ViewPart::kStill);
  visit(view.noticeRevision, ViewPart::kOverlay);
}
