#include "actions/brush_picture.h"

#include <GL/gl.h>

#include <cmath>

#include "actions/build_hooks.h"
#include "actions/main_window_scope.h"
#include "common/quiet_console.h"
#include "export/png.h"
#include "render/offscreen_frame.h"
#include "stroke/build.h"

namespace {

constexpr float kPi = 3.14159265f;

// One wave across 0.84 canvas units, 25 nodes as a slow drag paints it.
void AddSampleNodes(Stroke& stroke) {
  constexpr int kNodes = 25;
  for (int i = 0; i < kNodes; ++i) {
    const float t = static_cast<float>(i) / (kNodes - 1);
    AddNode(stroke, Vec4(-0.42f + 0.84f * t, 0.06f * std::sin(2.0f * kPi * t), 0.0f, 0.0f));
  }
}

// Straight down at the canvas, near enough that 1.0 canvas unit spans
// the picture's width: a default stroke is some twenty pixels across.
SceneView SampleView(const Canvas& canvas) {
  SceneView view;
  view.canvas = &canvas;
  view.display.cursorOn = 0;
  constexpr float kDistance = 0.5f / kBrushPictureWidth * kBrushPictureHeight /
                              0.57735027f;  // tan 30°: half the height over the default lens
  view.camera.eye = Vec4(0, 0, kDistance, 0);
  view.camera.upPoint = Vec4(0, 1, kDistance, 0);
  view.camera.sidePoint = Vec4(1, 0, kDistance, 0);
  view.camera.target = Vec4(0, 0, kDistance - 1.0f, 0);
  view.camera.zNear = 0.01f;
  view.camera.width = kBrushPictureWidth;
  view.camera.height = kBrushPictureHeight;
  view.light = StartLight();
  return view;
}

}  // namespace

std::vector<std::uint8_t> BrushPicture(const StrokeSettings& settings, std::string* problem) {
  MainWindowScope mainWindow;
  Canvas canvas;
  canvas.strokes.resize(1);
  Stroke& stroke = canvas.strokes[0];
  AddSampleNodes(stroke);
  RandomGenerator random;
  {
    const QuietConsole quiet;
    BuildStroke(stroke, BuildContext{settings, random, PainterBuildHooks()});
  }
  canvas.count = 1;
  std::vector<std::uint8_t> rgba;
  {
    OffscreenFrame frame(kBrushPictureWidth, kBrushPictureHeight);
    if (!frame.Problem().empty())
      *problem = frame.Problem();
    else
      frame.Draw(SampleView(canvas), 0.0, &rgba);
  }
  if (stroke.particles.displayList != 0) glDeleteLists(stroke.particles.displayList, 1);
  if (!problem->empty()) return {};
  // Rows top first, opaque: the frame's alpha is whatever blending left.
  const std::size_t row = std::size_t(kBrushPictureWidth) * 4;
  std::vector<std::uint8_t> rgb;
  rgb.reserve(std::size_t(kBrushPictureWidth) * kBrushPictureHeight * 3);
  for (int y = kBrushPictureHeight - 1; y >= 0; --y)
    for (std::size_t x = 0; x < row; x += 4)
      rgb.insert(rgb.end(), &rgba[y * row + x], &rgba[y * row + x + 3]);
  return EncodePng8(kBrushPictureWidth, kBrushPictureHeight, 3, rgb);
}
