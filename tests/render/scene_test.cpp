#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "app/state.h"
#include "camera/camera.h"
#include "camera/environment.h"
#include "image/textures.h"
#include "render/mesh_buffers.h"
#include "stroke/mesh.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int kSize = 128;

// A raised, coloured stroke mesh made without the height-map file.
Stroke ReliefStroke() {
  Stroke stroke;
  const int s = 6;
  stroke.shapeResolution = s;
  stroke.profile = {0, 0.8f, 1.0f, 1.0f, 0.8f, 0};
  stroke.size.startColours.assign(s, Vec4(0.9f, 0.2f, 0.1f, 1));
  stroke.size.endColours.assign(s, Vec4(0.8f, 0.3f, 0.2f, 1));
  for (int i = 0; i < 20; ++i) {
    StrokeNode node;
    node.position = Vec4(-0.8f + 0.08f * i, 0.1f * std::sin(i * 0.5f), 0, 0);
    node.perpendicular = Vec4(0, -1, 0, 0);
    node.width = 0.15f, node.height = 0.1f;
    stroke.path.push_back(node);
  }
  BuildMesh(stroke, 0);
  stroke.renderType = kRenderMesh;
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
      testing::internal::GetCapturedStdout();
      initialised = true;
    }
    ResetApplicationStateForTesting();
    testing::internal::CaptureStdout();
    TheCamera.Init();
    testing::internal::GetCapturedStdout();
    const float light[4] = {-1, -1, -1.7f, 1};
    std::copy(light, light + 4, LightPosition);
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

  static Canvas OneStroke() {
    Canvas canvas;
    canvas.strokes = {ReliefStroke()};
    canvas.count = 1;
    return canvas;
  }

  static int Differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
  }
};

// Buffers kept since the build, arrays sent every frame and one glBegin
// per triangle draw the same picture, in every primitive mode, and leave
// the same colour current.
TEST_F(Scene, BuffersAndArraysDrawTheSamePictureAsPerTriangleMode) {
  ASSERT_TRUE(MeshBuffersAvailable()) << "Mesa has buffer objects: the buffer path is tested";
  const Stroke stroke = ReliefStroke();
  const Mesh& mesh = *stroke.subdivision.baseMesh;
  auto lastColour = [] {
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    return std::vector<float>(colour, colour + 4);
  };
  for (unsigned mode : {0u, kPolygonModeLine, kPolygonModeFill}) {
    SCOPED_TRACE(mode);
    glPointSize(5.0f);
    std::vector<float> colours[3];
    const auto plain = Frame([&] {
      DrawTexturedMeshImmediate(mesh, mode, TEX_MESH, TEX_DETAIL, true);
      colours[0] = lastColour();
    });
    const auto arrays = Frame([&] {
      DrawTexturedMeshFromArrays(mesh, mode, TEX_MESH, TEX_DETAIL, true);
      colours[1] = lastColour();
    });
    // Twice: uploaded by the first frame, drawn from what it kept by the
    // second.
    for (int frame = 0; frame < 2; ++frame) {
      const auto buffers = Frame([&] {
        DrawTexturedMesh(mesh, mode, TEX_MESH, TEX_DETAIL, true);
        colours[2] = lastColour();
      });
      EXPECT_EQ(Differing(buffers, plain), 0);
    }
    EXPECT_EQ(Differing(arrays, plain), 0);
    EXPECT_EQ(colours[1], colours[0]);
    EXPECT_EQ(colours[2], colours[0]);
  }
}

// Filled, wire and point meshes all draw something, each differently; a
// deleted stroke draws nothing.
TEST_F(Scene, PrimitiveModesShowTheStrokeDifferentlyDeletedOnesVanish) {
  Canvas canvas = OneStroke();
  const auto empty = Frame([] {});
  glPointSize(5.0f);
  std::vector<std::vector<std::uint8_t>> frames;
  for (unsigned mode : {kPolygonModeFill, kPolygonModeLine, 0u}) {
    PrimitiveMode = mode;
    frames.push_back(Frame([&] { DrawStrokes(canvas); }));
    EXPECT_GT(Differing(empty, frames.back()), 100) << mode;
  }
  EXPECT_GT(Differing(empty, frames[0]), 500) << "the filled stroke covers part of the view";
  const std::uint8_t* centre = &frames[0][(kSize / 2 * kSize + kSize / 2) * 3];
  EXPECT_GT(centre[0], centre[2]) << "red-dominated lit relief";
  EXPECT_GT(Differing(frames[0], frames[1]), 100);
  EXPECT_GT(Differing(frames[1], frames[2]), 100);
  GLint polygonMode[2];
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  EXPECT_EQ(polygonMode[0], GL_FILL) << "fill is restored after every mesh";
  canvas.strokes[0].deleted = 1;
  EXPECT_EQ(Differing(empty, Frame([&] { DrawStrokes(canvas); })), 0);
}

TEST_F(Scene, OutlineOnlyForTheSelectedStroke) {
  Canvas canvas = OneStroke();
  canvas.strokes[0].renderType = 0;
  const float corners[4][2] = {{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}};
  for (int i = 0; i < 4; ++i)
    canvas.strokes[0].bounds[i] = Vec4(corners[i][0], corners[i][1], 0, 0);
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
