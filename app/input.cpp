#include "app/input.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/state.h"
#include "camera/camera.h"
#include "render/collisions.h"
#include "render/scene.h"
#include "stroke/build.h"
#include "stroke/canvas.h"

namespace {

constexpr int kLeftButton = 0;
constexpr int kMiddleButton = 1;
constexpr int kPressed = 0;
constexpr int kReleased = 1;
constexpr unsigned char kEscape = 27;
constexpr int kPickRegion = 50;
constexpr int kPickBufferSize = 64;  // 16 hit records of one name each

// A channel value (already × 255) counts as bright above this level.
constexpr float kBrightLevel = 10.0f;

// Ends the stroke being painted: commit it, then pile it up on the strokes it
// crosses when the "C" checkbox asks for it.
void CommitPaintedStroke() {
  CommitStroke(TheCanvas);
  if (CollideAfterStroke) CheckCollisions(TheCanvas);
}

void TogglePainting() {
  Painting = Painting ? 0 : 1;
  if (!Painting) CommitPaintedStroke();
}

// The painted-point guard of AddPoint without touching the canvas's last
// point: the traced nodes are not pointer positions.
void AddTracedNode(float x, float y) {
  if (TheCanvas.count >= kStrokeCountLimit) {
    TheCanvas.count = kStrokeCountLimit;
    return;
  }
  AddNode(TheCanvas.current, x, y);
}

// The pixel-store settings every main-view read uses.
void SetPackState(int rowLength) {
  glDrawBuffer(GL_BACK);
  glPixelStoref(GL_PACK_ROW_LENGTH, static_cast<float>(rowLength));
  glPixelStoref(GL_PACK_SKIP_ROWS, 0);
  glPixelStoref(GL_PACK_SKIP_PIXELS, 0);
  glPixelStoref(GL_UNPACK_ALIGNMENT, 1);
  glPixelStoref(GL_PACK_ALIGNMENT, 1);
}

bool InsideMainView(int x, int y) {
  return x >= 0 && y >= 0 && x < MainWindowWidth && y < MainWindowHeight;
}

}  // namespace

// ---- Mouse -----------------------------------------------------------------------

void OnMouse(int button, int state, int x, int y) {
  if (button == kLeftButton && state == kPressed) {
    Painting = 1;
    SetCursorPosition(x, y);
  } else if (button == kLeftButton && state == kReleased) {
    Painting = 0;
    CommitPaintedStroke();
  } else if (button == kMiddleButton && state == kPressed) {
    PickStroke(x, TheCamera.height - y);
  }
}

void OnMotion(int x, int y) {
  SetCursorPosition(x, y);
  if (Painting) AddPoint(TheCanvas, CursorPosition.x, CursorPosition.y);
}

void OnPassiveMotion(int x, int y) { SetCursorPosition(x, y); }

void SetCursorPosition(int x, int y) {
  glutSetCursor(GLUT_CURSOR_NONE);
  const float width = static_cast<float>(MainWindowWidth);
  const float height = static_cast<float>(MainWindowHeight);
  CursorPosition = Vec4(2.0f * x / width - 1.0f, 1.0f - 2.0f * y / height, 0.0f, 0.0f);
}

// ---- Keys ------------------------------------------------------------------------

void OnKeyboard(unsigned char key, int, int) {
  switch (key) {
    case kEscape:
      std::exit(1);
    case 'm':
    case 'M':
    case 'n':
    case 'N':
      AutoTrace();
      return;
    default:
      HandleCameraKey(key);
  }
}

void OnSpecialKey(int key, int, int) {
  switch (key) {
    case GLUT_KEY_LEFT:
      TogglePainting();
      break;
    case GLUT_KEY_UP:
      // Past the last stroke the selection wraps to "none", so repeated
      // presses cycle 0, 1, …, count, 0.
      SelectedStroke = SelectedStroke <= TheCanvas.count - 1 ? SelectedStroke + 1 : 0;
      break;
    case GLUT_KEY_DOWN:
      if (SelectedStroke > 0) --SelectedStroke;
      TogglePainting();
      break;
    default:
      break;
  }
  std::printf("%d\n", SelectedStroke);
  std::fflush(stdout);
}

// ---- Picking ---------------------------------------------------------------------

void PickStroke(int x, int y) {
  GLuint buffer[kPickBufferSize] = {};
  glSelectBuffer(kPickBufferSize, buffer);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glRenderMode(GL_SELECT);
  glLoadIdentity();
  gluPickMatrix(x, y, kPickRegion, kPickRegion, viewport);
  TheCamera.ApplyProjection();

  // The strokes are picked through the camera alone, as the display draws
  // them: the model-view the last frame left also holds the light rotation
  // and any look-at the camera keys multiplied on since, which would pick
  // strokes other than the one under the pointer.
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  TheCamera.LookAt();
  DrawStrokes(TheCanvas);
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
  SelectedStroke = static_cast<int>(nearestName);
}

// ---- Pixel read-back ---------------------------------------------------------------

float ReadPixelChannel(int x, int y, int channel) {
  if (!InsideMainView(x, y)) return -1.0f;
  SetPackState(MainWindowWidth);
  static const GLenum kChannelFormat[3] = {GL_RED, GL_GREEN, GL_BLUE};
  float value = 0.0f;
  if (channel >= 0 && channel < 3) glReadPixels(x, y, 1, 1, kChannelFormat[channel], GL_FLOAT, &value);
  glFinish();
  return value * 255;
}

Vec4 ReadPixelColour(int x, int y, int rowLength) {
  if (!InsideMainView(x, y)) return Vec4(-1.0f, -1.0f, -1.0f, -1.0f);
  SetPackState(rowLength);
  float red = 0.0f, green = 0.0f, blue = 0.0f;
  glReadPixels(x, y, 1, 1, GL_RED, GL_FLOAT, &red);
  glReadPixels(x, y, 1, 1, GL_GREEN, GL_FLOAT, &green);
  glReadPixels(x, y, 1, 1, GL_BLUE, GL_FLOAT, &blue);
  glFinish();
  return Vec4(red, green, blue, 0.0f);
}

void ReadFrame(int width, int height, std::vector<float>& rgb) {
  rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0.0f);
  SetPackState(width);
  glReadPixels(0, 0, width, height, GL_RGB, GL_FLOAT, rgb.data());
  glFinish();
}

PixelChannelReader FrameChannelReader(const std::vector<float>& rgb, int width, int height) {
  return [&rgb, width, height](int x, int y, int channel) -> float {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1.0f;
    if (channel < 0 || channel > 2) return 0.0f;
    const size_t pixel = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    return rgb[pixel * 3 + static_cast<size_t>(channel)] * 255;
  };
}

// ---- Auto-trace --------------------------------------------------------------------

std::vector<std::vector<LatticePoint>> TraceBrightRegions(const PixelChannelReader& read, int width,
                                                          int height) {
  std::vector<std::vector<LatticePoint>> regions;
  if (width <= 0 || height <= 0) return regions;

  // Every point the fill reaches is a multiple of the step within 0..width and
  // 0..height (inclusive: a neighbour one step past the last lattice column or
  // row is examined, reads −1 and is never marked), so one cell per lattice
  // point covers a view of any size.
  const int columns = width / kTraceStep + 2;
  const int rows = height / kTraceStep + 2;
  std::vector<unsigned char> visited(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0);
  auto visitedAt = [&visited, rows](int x, int y) -> unsigned char& {
    return visited[static_cast<size_t>(x / kTraceStep) * static_cast<size_t>(rows) +
                   static_cast<size_t>(y / kTraceStep)];
  };
  auto allBright = [&read](int x, int y) {
    const float red = read(x, y, 0), green = read(x, y, 1), blue = read(x, y, 2);
    return red > kBrightLevel && green > kBrightLevel && blue > kBrightLevel;
  };
  auto anyBright = [&read](int x, int y) {
    const float red = read(x, y, 0), green = read(x, y, 1), blue = read(x, y, 2);
    return red > kBrightLevel || green > kBrightLevel || blue > kBrightLevel;
  };

  std::vector<LatticePoint> stack;
  for (int x = 0; x < width; x += kTraceStep) {
    for (int y = 0; y < height; y += kTraceStep) {
      std::vector<LatticePoint> region;
      if (allBright(x, y) && !visitedAt(x, y)) {
        visitedAt(x, y) = 1;
        stack.push_back({x, y});
      }
      while (!stack.empty()) {
        const LatticePoint point = stack.back();
        stack.pop_back();
        region.push_back(point);
        const LatticePoint neighbours[4] = {{point.x, point.y + kTraceStep},
                                            {point.x, point.y - kTraceStep},
                                            {point.x + kTraceStep, point.y},
                                            {point.x - kTraceStep, point.y}};
        const bool inside[4] = {point.y + kTraceStep <= height, point.y - kTraceStep >= 0,
                                point.x + kTraceStep <= width, point.x - kTraceStep >= 0};
        for (int n = 0; n < 4; ++n) {
          const LatticePoint next = neighbours[n];
          if (!inside[n] || visitedAt(next.x, next.y)) continue;
          if (anyBright(next.x, next.y)) {
            visitedAt(next.x, next.y) = 1;
            stack.push_back(next);
          }
        }
      }
      regions.push_back(std::move(region));
    }
  }
  return regions;
}

void AutoTrace() {
  const int width = MainWindowWidth, height = MainWindowHeight;
  std::vector<float> frame;
  ReadFrame(width, height, frame);
  const auto regions = TraceBrightRegions(FrameChannelReader(frame, width, height), width, height);
  for (const auto& region : regions) {
    for (const LatticePoint& point : region)
      AddTracedNode(2.0f * point.x / width - 1.0f, 2.0f * point.y / height - 1.0f);
    CommitStroke(TheCanvas);
  }
}
