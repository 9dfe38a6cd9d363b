#include "app/redisplay.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "glui/glui.h"
#include "panels/panels.h"
#include "state/redraw.h"
#include "state/state.h"

namespace {

constexpr std::chrono::microseconds kIdleSlot(16667);  // 1/60 s

// How the windows are redrawn and the idle step paced, for the life of the
// program.
struct RedisplayPace {
  bool tracking = true;
  bool pacing = true;
  bool timerChecks = false;
  std::chrono::steady_clock::time_point nextSlot;
};

RedisplayPace& Pace() {
  static RedisplayPace pace;
  return pace;
}

int WindowOf(Picture picture) {
  const Windows& windows = AppState().windows;
  switch (picture) {
    case Picture::kMain:
      return windows.main.id;
    case Picture::kCameraPanel:
      return windows.cameraPanel.id;
    case Picture::kStrokePanel:
      return windows.strokePanel.id;
    case Picture::kFilterPanel:
      return windows.filterPanel.id;
    case Picture::kCount:
      break;
  }
  return 0;
}

bool Changed(Picture picture) {
  switch (picture) {
    case Picture::kMain:
      return MainViewChanged(CurrentMainSceneView());
    case Picture::kCameraPanel:
      return PanelChanged(picture, CameraPanelRedrawKey());
    case Picture::kStrokePanel:
      return PanelChanged(picture, StrokePanelRedrawKey());
    case Picture::kFilterPanel:
      return PanelChanged(picture, FilterPanelRedrawKey());
    case Picture::kCount:
      break;
  }
  return false;
}

// GLUT checks its timers after a round of input and before it draws; a
// timer set to 1 ms is due at the next round.
void CheckRedraws(int) {
  if (!Pace().timerChecks) return;
  PostChangedRedisplays();
  glutTimerFunc(1, CheckRedraws, 0);
}

}  // namespace

FrameStart MainFrameStart() {
  FrameStart start;
  glGetFloatv(GL_POINT_SIZE, &start.pointSize);
  glGetLightfv(GL_LIGHT0, GL_POSITION, start.lightPosition);
  return start;
}

SceneView CurrentMainSceneView() { return MainSceneView(MainFrameStart()); }

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
    if (!Pace().tracking || Changed(picture)) glutPostWindowRedisplay(window);
  }
  if (current != 0 && current != main) glutSetWindow(current);
}

void StartRedrawChecks() {
  if (Pace().timerChecks) return;
  Pace().timerChecks = true;
  glutTimerFunc(1, CheckRedraws, 0);
}

void StopRedrawChecks() { Pace().timerChecks = false; }

void SetChangeTracking(bool on) {
  Pace().tracking = on;
  GLUI_Master.redraw_every_sync = !on;
}

void SetIdlePacing(bool on) { Pace().pacing = on; }

void WaitForIdleSlot() {
  RedisplayPace& pace = Pace();
  if (!pace.pacing) return;
  const auto now = std::chrono::steady_clock::now();
  if (pace.nextSlot > now) std::this_thread::sleep_until(pace.nextSlot);
  // A step that came late starts the count again rather than hurrying the
  // next ones.
  pace.nextSlot = std::max(pace.nextSlot, now) + kIdleSlot;
}
