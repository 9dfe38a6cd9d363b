#include "state/redraw.h"

#include <algorithm>
#include <optional>

#include "camera/view_ray.h"
#include "state/state.h"

namespace {

// The GL driver may notice a window's new size only when a frame is
// presented, and show the first frame after a resize in the old frame's
// layout: the frame after it is right.
constexpr int kFramesAfterResize = 2;

// A painting drawn from more faces than this is drawn from its base meshes
// while the camera moves. Software rendering draws about five million faces
// a second, so this many take some 50 ms a frame there; at two subdivision
// levels (16 times the faces) a thousand strokes of eight nodes come to 1.6
// million. The count, not the time a frame took, decides, so that a replay
// draws the same frames on any machine.
constexpr std::size_t kCoarseAboveFaces = 250000;

RedrawMemory& Memory() { return AppState().redraw; }

int Index(Picture picture) { return static_cast<int>(picture); }

// One frame of a resize's frames is drawn: true while more must follow.
bool DrawAgainAfterResize(Picture picture) {
  int& frames = Memory().framesAfterResize[Index(picture)];
  return frames > 0 && --frames > 0;
}

// Every field of the pose, bit for bit (its list, camera/camera.h).
bool SamePose(const CameraPose& a, const CameraPose& b) {
  return RedrawKey().Add(a).Done() == RedrawKey().Add(b).Done();
}

bool SameLight(const Light& a, const Light& b) {
  return std::equal(a.rotation, a.rotation + 16, b.rotation) &&
         std::equal(a.position, a.position + 4, b.position);
}

// The faces the strokes are drawn from, counted again only when they change.
std::size_t ShownFaces(const ApplicationState& state) {
  RedrawMemory& memory = Memory();
  if (memory.countedRevision == state.revisions.strokes) return memory.shownFaces;
  memory.countedRevision = state.revisions.strokes;
  std::size_t faces = 0;
  const Canvas& canvas = state.canvas;
  for (int i = 0; i < canvas.count; ++i) {
    const Stroke& stroke = canvas.strokes[i];
    if (stroke.deleted || stroke.renderType != kRenderMesh) continue;
    if (const Mesh* mesh = stroke.subdivision.Shown()) faces += std::size_t(mesh->faceCount);
  }
  return memory.shownFaces = faces;
}

bool DrawnCoarse(const ApplicationState& state) {
  return state.redraw.stepsSinceCameraMoved < kRestingSteps &&
         ShownFaces(state) > kCoarseAboveFaces;
}

// Counts the steps since `moved` was last true, up to kRestingSteps; true
// at the step the count reaches it.
bool CountRestingSteps(int& steps, bool moved) {
  if (moved) {
    steps = 0;
    return false;
  }
  if (steps >= kRestingSteps) return false;
  return ++steps == kRestingSteps;
}

}  // namespace

void NoteMainViewDrawn(const SceneView& view) {
  RedrawMemory& memory = Memory();
  memory.mainDrawn = !DrawAgainAfterResize(Picture::kMain);
  memory.drawnMain = view;
}

void NotePanelDrawn(Picture picture, std::string key) {
  std::string& drawn = Memory().drawn[Index(picture)];
  if (DrawAgainAfterResize(picture))
    drawn.clear();
  else
    drawn = std::move(key);
}

bool MainViewChanged(const SceneView& now) {
  const RedrawMemory& memory = Memory();
  return !memory.mainDrawn || CompareViews(memory.drawnMain, now).any;
}

bool PanelChanged(Picture picture, const std::string& keyNow) {
  return keyNow != Memory().drawn[Index(picture)];
}

SceneView MainSceneView(const FrameStart& glState) {
  const ApplicationState& state = AppState();
  SceneView view;
  view.canvas = &state.canvas;
  view.strokesRevision = state.revisions.strokes;
  view.paintedRevision = state.revisions.painted;
  view.display = state.display;
  view.primitiveMode = state.interaction.primitiveMode;
  view.selectedStroke = state.interaction.selectedStroke;
  view.cursorPosition = state.interaction.cursorPosition;
  if (state.interaction.paintUnderPointer) {
    // Seen through the camera as it is now, the cursor stays under a
    // resting pointer while the camera spins, zooms or pans.
    const Interaction& pointer = state.interaction;
    const std::optional<Vec4> under = CanvasPointUnderPixel(
        state.camera, state.camera.width, state.camera.height, pointer.pointerX, pointer.pointerY);
    view.cursorPosition = under.value_or(Vec4());
    view.cursorPlacement = under ? CursorPlacement::kCentred : CursorPlacement::kNone;
  }
  view.coarse = DrawnCoarse(state) ? 1 : 0;
  view.camera = state.camera;
  view.light = state.light;
  view.texturesRevision = state.redraw.textureRevisions[Index(Picture::kMain)];
  view.frameStart = glState;
  view.frameStart.framesAfterResize = state.redraw.framesAfterResize[Index(Picture::kMain)];
  view.noticeRevision = state.notice.revision;
  return view;
}

bool NoteIdleStep() {
  const ApplicationState& state = AppState();
  RedrawMemory& memory = Memory();
  const Camera& camera = state.camera;
  const bool spinning = camera.spin[0] != 0 || camera.spin[1] != 0 || camera.spin[2] != 0;
  const bool cameraMoved = spinning || !SamePose(camera, memory.cameraAtLastStep);
  CountRestingSteps(memory.stepsSinceCameraMoved, cameraMoved);
  memory.cameraAtLastStep = camera;
  const bool viewMoved = cameraMoved || !SameLight(state.light, memory.lightAtLastStep);
  memory.lightAtLastStep = state.light;
  return CountRestingSteps(memory.stepsSinceViewMoved, viewMoved) &&
         !(SamePose(camera, memory.poseReported) && SameLight(state.light, memory.lightReported));
}

void ViewReported() {
  RedrawMemory& memory = Memory();
  memory.poseReported = AppState().camera;
  memory.lightReported = AppState().light;
}

void TexturesReloaded(Picture picture) { ++Memory().textureRevisions[Index(picture)]; }

void WindowResized(Picture picture) {
  RedrawMemory& memory = Memory();
  memory.drawn[Index(picture)].clear();
  if (picture == Picture::kMain) memory.mainDrawn = false;
  memory.framesAfterResize[Index(picture)] = kFramesAfterResize;
}
