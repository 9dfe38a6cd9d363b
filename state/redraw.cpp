#include "state/redraw.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "camera/camera.h"
#include "glui/glui.h"
#include "state/state.h"

namespace {

constexpr int kPictures = static_cast<int>(Picture::kCount);
using Key = std::string;

std::array<Key, kPictures> Drawn;
// Frames still to draw after a resize, whatever the keys say.
std::array<int, kPictures> FramesAfterResize{};
// The GL driver may notice a window's new size only when a frame is
// presented, and show the first frame after a resize in the old frame's
// layout: the frame after it is right.
constexpr int kFramesAfterResize = 2;
std::array<std::uint64_t, kPictures> TextureRevisions{};
bool Tracking = true;
bool Pacing = true;
bool TimerChecks = false;

constexpr std::chrono::microseconds kIdleSlot(16667);  // 1/60 s
std::chrono::steady_clock::time_point NextSlot;

// Appends the bytes of values to a key.
class KeyWriter {
 public:
  template <typename T>
  KeyWriter& Add(const T& value) {
    key_.append(reinterpret_cast<const char*>(&value), sizeof value);
    return *this;
  }
  KeyWriter& Add(const Vec4& v) { return Add(v.x).Add(v.y).Add(v.z).Add(v.w); }
  template <typename T, std::size_t N>
  KeyWriter& Add(const T (&values)[N]) {
    key_.append(reinterpret_cast<const char*>(values), sizeof values);
    return *this;
  }
  Key Done() { return std::move(key_); }

 private:
  Key key_;
};

int WindowOf(Picture picture) {
  switch (picture) {
    case Picture::kMain:
      return AppState().windows.main.id;
    case Picture::kCameraPanel:
      return AppState().windows.cameraPanel.id;
    case Picture::kStrokePanel:
      return AppState().windows.strokePanel.id;
    case Picture::kFilterPanel:
      return AppState().windows.filterPanel.id;
    case Picture::kCount:
      break;
  }
  return 0;
}

KeyWriter& AddCamera(KeyWriter& key, const Camera& c) {
  return key.Add(c.eye)
      .Add(c.upPoint)
      .Add(c.sidePoint)
      .Add(c.target)
      .Add(c.fovy)
      .Add(c.zNear)
      .Add(c.zFar)
      .Add(c.width)
      .Add(c.height);
}

Key CameraPanelKey() {
  const ApplicationState& state = AppState();
  KeyWriter key;
  AddCamera(key, state.camera).Add(state.display.lightOn);
  key.Add(state.light.rotation).Add(state.light.position);
  key.Add(state.views.modelView).Add(state.views.projection);
  key.Add(state.windows.cameraPanel.width).Add(state.windows.cameraPanel.height);
  return key.Done();
}

Key StrokePanelKey() {
  const ApplicationState& state = AppState();
  const ViewArea& view = state.windows.strokePanelView;
  KeyWriter key;
  key.Add(TextureRevisions[static_cast<int>(Picture::kStrokePanel)]);
  key.Add(state.strokeSettings.startColour).Add(state.colourMarker.x).Add(state.colourMarker.y);
  key.Add(view.x).Add(view.y).Add(view.width).Add(view.height);
  return key.Done();
}

Key FilterPanelKey() {
  const WindowPlace& filter = AppState().windows.filterPanel;
  KeyWriter key;
  key.Add(TextureRevisions[static_cast<int>(Picture::kFilterPanel)]);
  key.Add(filter.width).Add(filter.height);
  return key.Done();
}

Key KeyOf(Picture picture) {
  switch (picture) {
    case Picture::kMain:
      break;  // compared as a view, below
    case Picture::kCameraPanel:
      return CameraPanelKey();
    case Picture::kStrokePanel:
      return StrokePanelKey();
    case Picture::kFilterPanel:
      return FilterPanelKey();
    case Picture::kCount:
      break;
  }
  return Key();
}

}  // namespace

// ---- The main view ---------------------------------------------------------------

namespace {

SceneView DrawnMain;  // the view of the last frame drawn, when MainDrawn
bool MainDrawn = false;

// A painting drawn from more faces than this is drawn from its base meshes
// while the camera moves. Software rendering draws about five million faces
// a second, so this many take some 50 ms a frame there; at two subdivision
// levels (16 times the faces) a thousand strokes of eight nodes come to 1.6
// million. The count, not the time a frame took, decides, so that a replay
// draws the same frames on any machine.
constexpr std::size_t kCoarseAboveFaces = 250000;
// The camera rests when it has not moved for this many idle steps (a sixth
// of a second at 60 steps a second): keys held down repeat faster.
constexpr int kRestingSteps = 10;
int StepsSinceCameraMoved = kRestingSteps;
Camera CameraAtLastStep;

bool SamePose(const Camera& a, const Camera& b) {
  auto same = [](const Vec4& p, const Vec4& q) {
    return p.x == q.x && p.y == q.y && p.z == q.z;
  };
  return same(a.eye, b.eye) && same(a.upPoint, b.upPoint) && same(a.sidePoint, b.sidePoint) &&
         same(a.target, b.target) && a.fovy == b.fovy;
}

// The faces the strokes are drawn from, counted again only when they change.
std::size_t ShownFaces(const ApplicationState& state) {
  static std::uint64_t countedRevision = ~std::uint64_t(0);
  static std::size_t faces = 0;
  if (countedRevision == state.revisions.strokes) return faces;
  countedRevision = state.revisions.strokes;
  faces = 0;
  const Canvas& canvas = state.canvas;
  for (int i = 0; i < canvas.count; ++i) {
    const Stroke& stroke = canvas.strokes[i];
    if (stroke.deleted || stroke.renderType != kRenderMesh) continue;
    if (const Mesh* mesh = stroke.subdivision.Shown()) faces += std::size_t(mesh->faceCount);
  }
  return faces;
}

bool DrawnCoarse(const ApplicationState& state) {
  return StepsSinceCameraMoved < kRestingSteps && ShownFaces(state) > kCoarseAboveFaces;
}

}  // namespace

SceneView MainSceneView() {
  const ApplicationState& state = AppState();
  SceneView view;
  view.canvas = &state.canvas;
  view.strokesRevision = state.revisions.strokes;
  view.paintedRevision = state.revisions.painted;
  view.display = state.display;
  view.primitiveMode = state.interaction.primitiveMode;
  view.selectedStroke = state.interaction.selectedStroke;
  view.cursorPosition = state.interaction.cursorPosition;
  view.coarse = DrawnCoarse(state) ? 1 : 0;
  view.camera = state.camera;
  view.light = state.light;
  view.texturesRevision = TextureRevisions[static_cast<int>(Picture::kMain)];
  glGetFloatv(GL_POINT_SIZE, &view.frameStart.pointSize);
  glGetLightfv(GL_LIGHT0, GL_POSITION, view.frameStart.lightPosition);
  view.frameStart.framesAfterResize = FramesAfterResize[static_cast<int>(Picture::kMain)];
  view.noticeRevision = state.notice.revision;
  return view;
}

void NoteIdleStep() {
  const Camera& camera = AppState().camera;
  const bool spinning = camera.spin[0] != 0 || camera.spin[1] != 0 || camera.spin[2] != 0;
  if (spinning || !SamePose(camera, CameraAtLastStep))
    StepsSinceCameraMoved = 0;
  else if (StepsSinceCameraMoved < kRestingSteps)
    ++StepsSinceCameraMoved;
  CameraAtLastStep = camera;
}

namespace {

bool MainViewChanged() {
  if (!MainDrawn) return true;
  return CompareViews(DrawnMain, MainSceneView()).any;
}

}  // namespace

void NoteDrawn(Picture picture, const SceneView* view) {
  const int p = static_cast<int>(picture);
  const bool again = FramesAfterResize[p] > 0 && --FramesAfterResize[p] > 0;
  if (picture == Picture::kMain) {
    MainDrawn = !again && view != nullptr;
    if (view) DrawnMain = *view;
    return;
  }
  if (again)
    Drawn[p].clear();
  else
    Drawn[p] = KeyOf(picture);
}

void TexturesReloaded(Picture picture) { ++TextureRevisions[static_cast<int>(picture)]; }

void WindowResized(Picture picture) {
  Drawn[static_cast<int>(picture)].clear();
  if (picture == Picture::kMain) MainDrawn = false;
  FramesAfterResize[static_cast<int>(picture)] = kFramesAfterResize;
}

void PostChangedRedisplays() {
  const int main = AppState().windows.main.id;
  if (main == 0) return;
  // The main view's view reads GL state of its context.
  const int current = glutGetWindow();
  if (current != main) glutSetWindow(main);
  // The panels first, as the heartbeat always did; the order does not
  // change any picture, each window drawing into its own context.
  for (Picture picture :
       {Picture::kCameraPanel, Picture::kStrokePanel, Picture::kFilterPanel, Picture::kMain}) {
    const int window = WindowOf(picture);
    if (window == 0) continue;
    const bool changed = picture == Picture::kMain
                             ? MainViewChanged()
                             : KeyOf(picture) != Drawn[static_cast<int>(picture)];
    if (!Tracking || changed) glutPostWindowRedisplay(window);
  }
  if (current != 0 && current != main) glutSetWindow(current);
}

namespace {

// GLUT checks its timers after a round of input and before it draws; a
// timer set to 1 ms is due at the next round.
void CheckRedraws(int) {
  if (!TimerChecks) return;
  PostChangedRedisplays();
  glutTimerFunc(1, CheckRedraws, 0);
}

}  // namespace

void StartRedrawChecks() {
  if (TimerChecks) return;
  TimerChecks = true;
  glutTimerFunc(1, CheckRedraws, 0);
}

void StopRedrawChecks() { TimerChecks = false; }

void SetChangeTracking(bool on) {
  Tracking = on;
  GLUI_Master.redraw_every_sync = !on;
}

void SetIdlePacing(bool on) { Pacing = on; }

void WaitForIdleSlot() {
  if (!Pacing) return;
  const auto now = std::chrono::steady_clock::now();
  if (NextSlot > now) std::this_thread::sleep_until(NextSlot);
  // A step that came late starts the count again rather than hurrying the
  // next ones.
  NextSlot = std::max(NextSlot, now) + kIdleSlot;
}
