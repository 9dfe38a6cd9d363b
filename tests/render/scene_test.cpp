#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "app/state.h"
#include "camera/camera.h"
#include "camera/environment.h"
#include "image/textures.h"
#include "render/scene.h"
#include "stroke/mesh.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int kSize = 128;

// A raised, coloured stroke mesh made without the height-map file.
Stroke ReliefStroke(float y) {
  Stroke stroke;
  const int s = 6;
  stroke.shapeResolution = s;
  stroke.profile = {0, 0.8f, 1.0f, 1.0f, 0.8f, 0};
  stroke.size.startColours.assign(s, Vec4(0.9f, 0.2f, 0.1f, 1));
  stroke.size.endColours.assign(s, Vec4(0.8f, 0.3f, 0.2f, 1));
  for (int i = 0; i < 20; ++i) {
    StrokeNode node;
    node.position = Vec4(-0.8f + 0.08f * i, y + 0.1f * std::sin(i * 0.5f), 0, 0);
    node.perpendicular = Vec4(0, -1, 0, 0);
    node.width = 0.15f;
    node.height = 0.1f;
    stroke.path.push_back(node);
  }
  BuildMesh(stroke);
  stroke.renderType = 1;
  return stroke;
}

class Scene : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureHiddenGlWindow(kSize, kSize);
    static bool initialised = false;
    if (!initialised) {
      testing::internal::CaptureStdout();
      ReportGLEnvironment();
      InitRenderState();
      InitMaterial();
      InitLight();
      LoadAllMaps();
      TheCamera.Init();
      testing::internal::GetCapturedStdout();
      initialised = true;
    }
    ResetApplicationStateForTesting();
    TheCamera.Init();
    LightPosition[0] = -1;
    LightPosition[1] = -1;
    LightPosition[2] = -1.7f;
    LightPosition[3] = 1;
    glViewport(0, 0, kSize, kSize);
  }

  std::vector<std::uint8_t> Frame(const std::function<void()>& draw) {
    glClearColor(0.8f, 0.8f, 0.8f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    TheCamera.LookAt();
    glLightfv(GL_LIGHT0, GL_POSITION, LightPosition);
    draw();
    glFinish();
    std::vector<std::uint8_t> pixels(kSize * kSize * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  static int Differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
  }
};

TEST_F(Scene, VertexArraysDrawTheSamePictureAsPerTriangleMode) {
  const Stroke stroke = ReliefStroke(0.0f);
  for (unsigned mode : {0u, kPolygonModeLine, kPolygonModeFill}) {
    SCOPED_TRACE(mode);
    glPointSize(5.0f);
    const auto fast = Frame([&] { DrawTexturedMesh(*stroke.subdivision.baseMesh, mode, TEX_MESH, TEX_DETAIL, true); });
    const auto plain =
        Frame([&] { DrawTexturedMeshImmediate(*stroke.subdivision.baseMesh, mode, TEX_MESH, TEX_DETAIL, true); });
    EXPECT_EQ(Differing(fast, plain), 0);
  }
}

TEST_F(Scene, StrokesShowLitReliefAndDeletedOnesVanish) {
  Canvas canvas;
  canvas.strokes.resize(2);
  canvas.strokes[0] = ReliefStroke(0.0f);
  canvas.count = 1;
  const auto empty = Frame([] {});
  const auto painted = Frame([&] { DrawStrokes(canvas); });
  EXPECT_GT(Differing(empty, painted), 500) << "the stroke covers part of the view";
  // Centre pixel: red-dominated relief.
  const std::uint8_t* centre = &painted[(kSize / 2 * kSize + kSize / 2) * 3];
  EXPECT_GT(centre[0], centre[2]);
  canvas.strokes[0].deleted = 1;
  EXPECT_EQ(Differing(empty, Frame([&] { DrawStrokes(canvas); })), 0);
}

TEST_F(Scene, PrimitiveModeChangesWhatIsDrawn) {
  Canvas canvas;
  canvas.strokes.resize(1);
  canvas.strokes[0] = ReliefStroke(0.0f);
  canvas.count = 1;
  PrimitiveMode = kPolygonModeFill;
  const auto filled = Frame([&] { DrawStrokes(canvas); });
  PrimitiveMode = kPolygonModeLine;
  const auto wire = Frame([&] { DrawStrokes(canvas); });
  EXPECT_GT(Differing(filled, wire), 100);
  GLint polygonMode[2];
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  EXPECT_EQ(polygonMode[0], GL_FILL) << "fill is restored after every mesh";
  PrimitiveMode = kPolygonModeFill;
}

TEST_F(Scene, OutlineOnlyForTheSelectedStroke) {
  Canvas canvas;
  canvas.strokes.resize(1);
  canvas.strokes[0] = ReliefStroke(0.0f);
  canvas.strokes[0].renderType = 0;
  canvas.strokes[0].bounds[0] = Vec4(-0.5f, -0.5f, 0, 0);
  canvas.strokes[0].bounds[1] = Vec4(-0.5f, 0.5f, 0, 0);
  canvas.strokes[0].bounds[2] = Vec4(0.5f, 0.5f, 0, 0);
  canvas.strokes[0].bounds[3] = Vec4(0.5f, -0.5f, 0, 0);
  canvas.count = 1;
  auto greenPixels = [&](const std::vector<std::uint8_t>& f) {
    int n = 0;
    for (std::size_t i = 0; i < f.size(); i += 3) n += f[i + 1] > 200 && f[i] < 50 && f[i + 2] < 50;
    return n;
  };
  EXPECT_EQ(greenPixels(Frame([&] { DrawStrokes(canvas); })), 0);
  SelectedStroke = 1;
  EXPECT_GT(greenPixels(Frame([&] { DrawStrokes(canvas); })), 50);
}

}  // namespace
