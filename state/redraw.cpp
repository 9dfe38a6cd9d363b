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

// What the main view is drawn from. Its GL part needs the main window's
// context current.
Key MainKey() {
  const ApplicationState& state = AppState();
  const DisplayToggles& display = state.display;
  KeyWriter key;
  key.Add(state.canvasRevision).Add(TextureRevisions[static_cast<int>(Picture::kMain)]);
  AddCamera(key, state.camera).Add(state.light.rotation).Add(state.light.position);
  key.Add(display.lightOn).Add(display.paperOn).Add(display.axesOn).Add(display.cursorOn);
  key.Add(display.showNodes).Add(state.interaction.primitiveMode);
  key.Add(state.interaction.cursorPosition).Add(state.windows.main.width);
  key.Add(state.windows.main.height);
  // A frame also starts from GL state the frame before it left: the point
  // size (meshes drawn as points use whatever size was set last) and the
  // light position, given after a frame is drawn and so used by the next.
  GLfloat pointSize = 0, light[4] = {};
  glGetFloatv(GL_POINT_SIZE, &pointSize);
  glGetLightfv(GL_LIGHT0, GL_POSITION, light);
  key.Add(pointSize).Add(light);
  return key.Done();
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
      return MainKey();
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

void NoteDrawn(Picture picture) {
  const int p = static_cast<int>(picture);
  if (FramesAfterResize[p] > 0 && --FramesAfterResize[p] > 0)
    Drawn[p].clear();
  else
    Drawn[p] = KeyOf(picture);
}

void TexturesReloaded(Picture picture) { ++TextureRevisions[static_cast<int>(picture)]; }

void WindowResized(Picture picture) {
  Drawn[static_cast<int>(picture)].clear();
  FramesAfterResize[static_cast<int>(picture)] = kFramesAfterResize;
}

void PostChangedRedisplays() {
  const int main = AppState().windows.main.id;
  if (main == 0) return;
  // The main view's key reads GL state of its context.
  const int current = glutGetWindow();
  if (current != main) glutSetWindow(main);
  // The panels first, as the heartbeat always did; the order does not
  // change any picture, each window drawing into its own context.
  for (Picture picture :
       {Picture::kCameraPanel, Picture::kStrokePanel, Picture::kFilterPanel, Picture::kMain}) {
    const int window = WindowOf(picture);
    if (window == 0) continue;
    if (!Tracking || KeyOf(picture) != Drawn[static_cast<int>(picture)])
      glutPostWindowRedisplay(window);
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
