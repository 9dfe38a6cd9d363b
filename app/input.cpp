#include "app/input.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "actions/actions.h"
#include "actions/painting_files.h"
#include "app/painting_keys.h"
#include "app/pen_input.h"
#include "app/redisplay.h"
#include "camera/view_ray.h"
#include "common/constants.h"
#include "common/notice.h"
#include "render/scene.h"
#include "render/screen_boxes.h"
#include "state/redraw.h"
#include "state/state.h"
#include "stroke/canvas_plane.h"

namespace {

constexpr int kLeftButton = 0;
constexpr int kMiddleButton = 1;
// The wheel's notches and a touchpad's sideways swipes reach the mouse
// callback as buttons 3 (up), 4 (down), 5 (left) and 6 (right).
constexpr int kWheelUp = 3, kWheelDown = 4, kWheelLeft = 5, kWheelRight = 6;
constexpr int kPressed = 0;
constexpr int kReleased = 1;
constexpr int kPickRegion = 50;
constexpr int kPickBufferSize = 64;  // 16 hit records of one name each

void TogglePainting() {
  int& painting = AppState().interaction.painting;
  painting = painting ? 0 : 1;
  if (!painting) CommitPaintedStroke();
}

// The wheel, which the view's buttons leave free, moves around the canvas:
// up zooms towards the point under the pointer, down away from it; with
// Shift it pans left (up) and right (down), with Ctrl up and down, as
// scrolling does in other programs; sideways it pans left and right.
void TurnWheel(int button, int x, int y, int modifiers) {
  const int notch = button == kWheelUp ? 1 : -1;
  if (button == kWheelLeft || button == kWheelRight)
    PanCamera(button == kWheelRight ? 1 : -1, 0);
  else if (modifiers & GLUT_ACTIVE_SHIFT)
    PanCamera(-notch, 0);
  else if (modifiers & GLUT_ACTIVE_CTRL)
    PanCamera(0, notch);
  else
    ZoomCameraAt(x, y, notch);
}

void TogglePaintUnderPointer() {
  const bool on = !AppState().interaction.paintUnderPointer;
  SetPaintUnderPointer(on);
  Notice(std::string("painting under the pointer: ") + (on ? "on" : "off"));
}

// A motion of the pointer (a pen's with its pressure): the cursor follows,
// and while painting a node goes where it points, if that is on the canvas.
void PaintingMotion(int x, int y, float pressure) {
  const std::optional<Vec4> point = SetCursorPosition(x, y);
  if (point && AppState().interaction.painting) AddPaintedPoint(point->x, point->y, pressure);
}

}  // namespace

bool IsModifierKey(int key) {
  switch (key) {
    case GLUT_KEY_SHIFT_L:
    case GLUT_KEY_SHIFT_R:
    case GLUT_KEY_CTRL_L:
    case GLUT_KEY_CTRL_R:
    case GLUT_KEY_ALT_L:
    case GLUT_KEY_ALT_R:
    case GLUT_KEY_SUPER_L:
    case GLUT_KEY_SUPER_R:
    case GLUT_KEY_NUM_LOCK:
    case GLUT_KEY_BEGIN:
      return true;
    default:
      return false;
  }
}

// ---- Mouse -----------------------------------------------------------------------

void OnMouse(int button, int state, int x, int y) {
  if (button == kLeftButton && state == kPressed) {
    AppState().interaction.painting = 1;
    SetCursorPosition(x, y);
  } else if (button == kLeftButton && state == kReleased) {
    AppState().interaction.painting = 0;
    CommitPaintedStroke();
  } else if (button == kMiddleButton && state == kPressed) {
    PickStroke(x, AppState().camera.height - y);
  } else if (button >= kWheelUp && button <= kWheelRight && state == kPressed) {
    TurnWheel(button, x, y, glutGetModifiers());
  }
}

void OnMotion(int x, int y) {
  // A pen's motion paints with its pressure (app/pen_input.h).
  const std::optional<float> pressure = ThePen().MotionPressure();
  PaintingMotion(x, y, pressure.value_or(1.0f));
}

void OnPenMotion(int x, int y, float pressure) { PaintingMotion(x, y, pressure); }

void OnPassiveMotion(int x, int y) {
  ThePen().PassiveMotion();
  SetCursorPosition(x, y);
}

std::optional<Vec4> SetCursorPosition(int x, int y) {
  glutSetCursor(GLUT_CURSOR_NONE);
  ApplicationState& state = AppState();
  Interaction& interaction = state.interaction;
  interaction.pointerX = x;
  interaction.pointerY = y;
  if (!interaction.paintUnderPointer) {
    interaction.cursorPosition =
        CanvasPointOfPixel(x, y, state.windows.main.width, state.windows.main.height);
    return interaction.cursorPosition;
  }
  const Camera& camera = state.camera;
  const std::optional<Vec4> under = CanvasPointUnderPixel(camera, camera.width, camera.height, x, y);
  if (under) interaction.cursorPosition = *under;
  return under;
}

// ---- Keys ------------------------------------------------------------------------

void OnKeyboard(unsigned char key, int, int) {
  switch (key) {
    case kEscapeKey:
      StopAutosave(ReadMainViewFrame());
      std::exit(1);
    case 'm':
    case 'M':
    case 'n':
    case 'N':
      AutoTrace();
      return;
    case 'p':
    case 'P':
      TogglePaintUnderPointer();
      return;
    default:
      if (!PressCameraKey(key)) HandlePaintingKey(key, glutGetModifiers());
  }
}

void OnSpecialKey(int key, int, int) {
  if (IsModifierKey(key)) return;
  const int selected = AppState().interaction.selectedStroke;
  switch (key) {
    case GLUT_KEY_LEFT:
      TogglePainting();
      break;
    case GLUT_KEY_UP:
      // Past the last stroke the selection wraps to "none", so repeated
      // presses cycle 0, 1, …, count, 0.
      SelectStroke(selected <= AppState().canvas.count - 1 ? selected + 1 : 0);
      break;
    case GLUT_KEY_DOWN:
      if (selected > 0) SelectStroke(selected - 1);
      TogglePainting();
      break;
    default:
      break;
  }
  std::printf("%d\n", AppState().interaction.selectedStroke);
  std::fflush(stdout);
}

// ---- Picking ---------------------------------------------------------------------

void PickStroke(int x, int y) {
  GLuint buffer[kPickBufferSize] = {};
  glSelectBuffer(kPickBufferSize, buffer);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);

  // The strokes are picked through the camera alone, as the display draws
  // them: the model-view the last frame left also holds the light rotation
  // and any look-at the camera keys multiplied on since, which would pick
  // strokes other than the one under the pointer.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  AppState().camera.ApplyProjection();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  AppState().camera.LookAt();
  // Only strokes that reach the pick region can be hit.
  const ScreenProjection projection;
  ScreenBox region;
  region.Add(x - kPickRegion / 2.0, y - kPickRegion / 2.0);
  region.Add(x + kPickRegion / 2.0, y + kPickRegion / 2.0);

  glMatrixMode(GL_PROJECTION);
  glRenderMode(GL_SELECT);
  glLoadIdentity();
  gluPickMatrix(x, y, kPickRegion, kPickRegion, viewport);
  AppState().camera.ApplyProjection();
  glMatrixMode(GL_MODELVIEW);
  SceneView view = CurrentMainSceneView();
  view.coarse = 0;  // hits come from the exact meshes, whatever the frame shows
  const ConfinedPass pass = StrokesReaching(projection, region, AppState().canvas);
  DrawStrokes(view, &pass);
  glPopMatrix();

  const GLint hits = glRenderMode(GL_RENDER);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);

  // Each hit record is: name count (always 1), min depth, max depth, name.
  // The nearest is the smallest min depth as an unsigned number; on a tie
  // the earlier record wins. A negative count means the buffer overflowed.
  if (hits < 1) return;
  GLuint nearestDepth = buffer[1];
  GLuint nearestName = buffer[3];
  for (GLint hit = 1; hit < hits; ++hit) {
    const GLuint* record = buffer + 4 * hit;
    if (record[1] < nearestDepth) {
      nearestDepth = record[1];
      nearestName = record[3];
    }
  }
  SelectStroke(static_cast<int>(nearestName));
}
