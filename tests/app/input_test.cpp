// Main-view input in process: the registered callbacks are called directly
// on a hidden 256 × 256 window, and the results are read from the canvas,
// the console and the back buffer.

#include "app/input.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/readback.h"
#include "actions/trace.h"
#include "app/view.h"
#include "camera/camera.h"
#include "render/scene.h"
#include "state/redraw.h"
#include "state/state.h"
#include "tests/support/console.h"
#include "tests/support/gl_window.h"
#include "tests/support/near.h"

namespace {

constexpr int kSize = 256;

// Console lines that do not start with a tab (the selection numbers).
std::vector<std::string> UntabbedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '\t' && line[0] != '\r') lines.push_back(line);
  return lines;
}

class MainViewInput : public testing::Test {
 protected:
  void SetUp() override {
    EnsureHiddenGlWindow(kSize, kSize);
    ResetApplicationStateForTesting();
    Printed([] {
      AppState().canvas.DeleteAll();
      AppState().camera.Init(AppState().light);
      OnReshape(kSize, kSize);
    });
  }

  // A left drag through the given pointer positions (GLUT pixels), quietly;
  // one position is a click without motion.
  void Paint(const std::vector<std::pair<int, int>>& points) {
    Quietly([&] {
      OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, points.front().first, points.front().second);
      if (points.size() > 1)
        for (const auto& [x, y] : points) OnMotion(x, y);
      OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, points.back().first, points.back().second);
    });
  }
};

// A drag adds one node per motion at the mapped position; a pen's motion
// adds its node with its pressure. A click without motion commits a stroke
// without nodes; the pointer moves the cursor, and passive motion never paints.
TEST_F(MainViewInput, DragsAddNodesAtTheMappedPositionsClicksAndPassiveMotionDoNot) {
  const std::string console = Printed([] {
    OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
    for (auto [x, y] : {std::pair{0, 0}, {128, 64}, {kSize, kSize}}) OnMotion(x, y);
    OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, kSize, kSize);
    OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
    OnMotion(128, 64);
    OnPenMotion(kSize, kSize, 0.5f);
    OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, kSize, kSize);
  });
  EXPECT_NE(console.find("\tBuilding Stroke data....\n"), std::string::npos);
  ASSERT_EQ(AppState().canvas.count, 2);
  EXPECT_EQ(AppState().interaction.painting, 0);
  EXPECT_TRUE(AppState().canvas.current.nodes.empty());
  std::vector<std::array<float, 3>> nodes;
  for (int i : {0, 1})
    for (const StrokeNode& n : AppState().canvas.strokes[i].nodes)
      nodes.push_back({n.position.x, n.position.y, n.pressure});
  EXPECT_EQ(nodes, (std::vector<std::array<float, 3>>{
                       {-1, 1, 1}, {0, 0.5f, 1}, {1, -1, 1}, {0, 0.5f, 1}, {1, -1, 0.5f}}));
  EXPECT_FLOAT_EQ(AppState().interaction.cursorPosition.y, -1.0f) << "the cursor follows the pen";

  Paint({{50, 60}});
  ASSERT_EQ(AppState().canvas.count, 3);
  EXPECT_TRUE(AppState().canvas.strokes[2].nodes.empty());
  const Vec4& cursor = AppState().interaction.cursorPosition;
  EXPECT_EQ(std::make_pair(cursor.x, cursor.y), std::make_pair(-0.609375f, 0.53125f));
  AppState().interaction.painting = 1;
  OnPassiveMotion(64, 192);
  EXPECT_EQ(std::make_pair(cursor.x, cursor.y), std::make_pair(-0.5f, -0.5f));
  EXPECT_TRUE(AppState().canvas.current.nodes.empty());
}

TEST_F(MainViewInput, ArrowKeysStepTheSelectionAndTogglepainting) {
  for (int i = 0; i < 3; ++i) Paint({{20 + 50 * i, 20}, {30 + 50 * i, 40}, {40 + 50 * i, 60}});
  ASSERT_EQ(AppState().canvas.count, 3);

  const std::string console = Printed([] {
    for (int i = 0; i < 4; ++i) OnSpecialKey(GLUT_KEY_UP, 0, 0);  // 1, 2, 3, then wraps to 0
    OnSpecialKey(GLUT_KEY_RIGHT, 0, 0);
    OnSpecialKey(GLUT_KEY_F1, 0, 0);
    // Modifier and lock keys are not keys of the main view: nothing prints.
    for (int key : {GLUT_KEY_SHIFT_L, GLUT_KEY_SHIFT_R, GLUT_KEY_CTRL_L, GLUT_KEY_ALT_R,
                    GLUT_KEY_SUPER_L, GLUT_KEY_NUM_LOCK, GLUT_KEY_BEGIN})
      OnSpecialKey(key, 0, 0);
    OnSpecialKey(GLUT_KEY_DOWN, 0, 0);  // stays 0, starts painting
    EXPECT_EQ(AppState().interaction.painting, 1);
    OnMotion(100, 100);
    OnSpecialKey(GLUT_KEY_LEFT, 0, 0);  // stops painting: commits the one-node stroke
  });
  EXPECT_EQ(UntabbedLines(console),
            (std::vector<std::string>{"1", "2", "3", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(AppState().interaction.painting, 0);
  ASSERT_EQ(AppState().canvas.count, 4);
  EXPECT_EQ(AppState().canvas.strokes[3].nodes.size(), 1u);

  AppState().interaction.selectedStroke = 3;
  EXPECT_EQ(UntabbedLines(Printed([] {
              OnSpecialKey(GLUT_KEY_DOWN, 0, 0);
              OnSpecialKey(GLUT_KEY_DOWN, 0, 0);
            })),
            (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(AppState().canvas.count, 5);
}

// Moves a stroke's path and meshes towards the camera (which looks down −z).
void Lift(Stroke& stroke, float dz) {
  for (StrokeNode& node : stroke.path) node.position.z += dz;
  for (auto* mesh : {&stroke.subdivision.baseMesh, &stroke.subdivision.resultMesh})
    if (*mesh)
      for (Vec4& p : (*mesh)->positions) p.z += dz;
}

TEST_F(MainViewInput, MiddleClickPicksTheNearerOfTwoCrossingStrokes) {
  AppState().display.showNodes = 1;  // the path lines are pickable even where a mesh is thin
  Paint({{40, 128}, {90, 128}, {128, 128}, {170, 128}, {216, 128}});  // horizontal
  Paint({{128, 40}, {128, 90}, {128, 128}, {128, 170}, {128, 216}});  // vertical
  ASSERT_EQ(AppState().canvas.count, 2);

  Lift(AppState().canvas.strokes[1], 0.2f);
  OnMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 128, 128);
  EXPECT_EQ(AppState().interaction.selectedStroke, 2);

  Lift(AppState().canvas.strokes[0], 0.4f);
  // Picking goes through the camera alone, whatever the model-view holds.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(5, 5, 0);
  OnMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 128, 128);
  EXPECT_EQ(AppState().interaction.selectedStroke, 1);

  OnMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 5, 5);  // empty canvas corner
  EXPECT_EQ(AppState().interaction.selectedStroke, 1);
  OnMouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 128, 128);
  EXPECT_EQ(AppState().interaction.selectedStroke, 1);
  // The pick region reaches 25 pixels every way: the vertical stroke 12
  // pixels left of the pointer, the horizontal one 38 below it.
  OnMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 140, 90);
  EXPECT_EQ(AppState().interaction.selectedStroke, 2);
}

TEST_F(MainViewInput, ReshapeStoresTheSizeAndNeverAZero) {
  OnReshape(800, 600);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const WindowPlace& main = AppState().windows.main;
  EXPECT_EQ((std::array<int, 4>{main.width, main.height, viewport[2], viewport[3]}),
            (std::array<int, 4>{800, 600, 800, 600}));
  EXPECT_NEAR(AppState().views.projection[5] / AppState().views.projection[0], 800.0 / 600.0, 1e-6);
  OnReshape(0, 0);
  EXPECT_EQ((std::array<int, 3>{main.width, main.height, AppState().camera.width}),
            (std::array<int, 3>{1, 1, 1}));
}

// Any of the four trace keys turns a white square on black into one stroke
// (of the lattice's one per 10 pixels, the others empty). The frame read at
// once matches the per-pixel reads the trace was defined on, and the reads
// give the context its pack state back (a view-wide row length left behind
// wrecks the next map upload).
TEST_F(MainViewInput, AutoTraceKeysTurnAWhiteSquareIntoOneStroke) {
  for (unsigned char key : {'m', 'M', 'n', 'N'}) {
    SCOPED_TRACE(key);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(100, 100, 30, 30);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    std::vector<float> frame;
    ReadFrame(kSize, kSize, frame);
    const PixelChannelReader fromFrame = FrameChannelReader(frame, kSize, kSize);
    for (int y = -3; y < kSize + 3; y += 7)
      for (int x = -3; x < kSize + 3; x += 7)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(fromFrame(x, y, c), ReadPixelChannel(x, y, c)) << x << "," << y;
    Printed([key] {
      AppState().canvas.DeleteAll();
      OnKeyboard(key, 0, 0);
    });
    ASSERT_EQ(AppState().canvas.count, (kSize + 9) / 10 * ((kSize + 9) / 10));
    std::vector<std::array<float, 3>> traced;  // node count, first node
    for (int i = 0; i < AppState().canvas.count; ++i)
      if (const auto& nodes = AppState().canvas.strokes[i].nodes; !nodes.empty())
        traced.push_back({float(nodes.size()), nodes[0].position.x, nodes[0].position.y});
    EXPECT_EQ(traced, (std::vector<std::array<float, 3>>{{9, -0.21875f, -0.21875f}}));
    GLint pack[2] = {-1, -1};
    glGetIntegerv(GL_PACK_ROW_LENGTH, &pack[0]);
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack[1]);
    EXPECT_EQ(std::make_pair(pack[0], pack[1]), std::make_pair(0, 4));
  }
}

TEST_F(MainViewInput, CameraKeysReachTheCameraInBothCasesOthersChangeNothing) {
  OnKeyboard('w', 0, 0);
  OnKeyboard('D', 0, 0);
  EXPECT_TRUE(Near(AppState().camera.eye, Vec4(0.05f, 0, 1.65f, 0), 1e-6)) << "w and D moved it";
  EXPECT_EQ(Printed([] {
              for (unsigned char key : {'0', ' ', 'x', 'Z', '/', '\t'}) OnKeyboard(key, 0, 0);
            }),
            "");
  EXPECT_EQ(AppState().canvas.count, 0);
  // R or r gives the start camera (after the wheel's zoom and pan too, as
  // kelvra-play's documents replay sees).
  EXPECT_EQ(Printed([] { OnKeyboard('R', 0, 0); }), "\tCAMERA: Initialising...\n");
  EXPECT_EQ(AppState().camera.eye.x, 0.0f);
}

// The top-left and the middle of the dark pixels in the view (GLUT's
// pixels, origin top-left) after `draw`, on white: where a node or the
// cursor is drawn.
template <typename Draw>
std::array<double, 4> Drawn(int width, int height, Draw&& draw) {
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor3f(0, 0, 0);
  AppState().camera.LoadProjection();
  AppState().camera.LookAt();
  draw();
  std::vector<float> rgb;
  ReadFrame(width, height, rgb);
  int left = width, top = height, right = -1, bottom = -1;
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x)
      if (rgb[3 * (row * width + x)] < 0.5f) {
        const int y = height - 1 - row;
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x), bottom = std::max(bottom, y);
      }
  return {double(left), double(top), (left + right + 1) / 2.0, (top + bottom + 1) / 2.0};
}

// Painting under the pointer (p, which prints nothing): for seeded camera
// poses and window sizes a node painted at a pixel is drawn on it, before
// and after the wheel zooms there, and the cursor is seen centred on it.
TEST_F(MainViewInput, UnderThePointerANodeIsDrawnOnThePixelItWasPaintedAt) {
  EXPECT_EQ(Printed([] { OnKeyboard('p', 0, 0); }), "");
  ASSERT_EQ(AppState().interaction.paintUnderPointer, 1);
  std::mt19937 random(26);
  std::uniform_real_distribution<float> turn(-40, 40), move(-0.8f, 0.8f);
  std::uniform_int_distribution<int> side(16, kSize), notches(-3, 3);
  Camera& camera = AppState().camera;
  AppState().interaction.painting = 1;
  int painted = 0;
  for (int i = 0; i < 30; ++i) {
    Quietly([&] { camera.Init(AppState().light); });
    for (int axis = 1; axis <= 3; ++axis) camera.RotatePoints(turn(random), axis);
    camera.MovePoints(move(random), move(random), move(random));
    const int width = side(random), height = side(random);
    OnReshape(width, height);
    const int x = std::uniform_int_distribution<int>(0, width - 1)(random);
    const int y = std::uniform_int_distribution<int>(0, height - 1)(random);
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << x << ", " << y);
    const std::size_t before = AppState().canvas.current.nodes.size();
    OnMotion(x, y);
    if (AppState().canvas.current.nodes.size() == before) continue;  // the ray missed
    ++painted;
    const Vec4 node = AppState().canvas.current.nodes.back().position;
    const SceneView view = MainSceneView(FrameStart());
    EXPECT_EQ(view.cursorPlacement, CursorPlacement::kCentred);
    EXPECT_TRUE(Near(view.cursorPosition, node, 1e-6));
    for (const int zoom : {0, notches(random)}) {
      if (zoom) ZoomCameraAt(x, y, zoom);
      const auto drawn = Drawn(width, height, [&] {
        glBegin(GL_POINTS);
        glVertex3f(node.x, node.y, node.z);
        glEnd();
      });
      EXPECT_LE(std::abs(drawn[0] - x) + std::abs(drawn[1] - y), 1) << zoom << " notches";
    }
  }
  EXPECT_GT(painted, 15);
  // The cursor drawn after a zoom and a pan in a wide window: its middle is
  // the pointer.
  Quietly([&] { camera.Init(AppState().light); });
  OnReshape(kSize, 160);
  ZoomCameraAt(60, 50, 3);
  PanCamera(-1, 1);
  OnPassiveMotion(180, 100);
  const SceneView view = MainSceneView(FrameStart());
  const auto cursor =
      Drawn(kSize, 160, [&] { DrawCursor(view.cursorPosition, false, view.cursorPlacement); });
  EXPECT_LE(std::hypot(cursor[2] - 180.5, cursor[3] - 100.5), 1.0);
}

}  // namespace
