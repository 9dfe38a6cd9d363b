// While the camera moves over a painting of many faces, the main view draws
// the strokes from their base meshes; once it has rested for ten idle steps
// the exact frame follows. A small painting is always drawn exactly. A view
// that spun to rest tells so once.

#include <gtest/gtest.h>

#include <utility>

#include "camera/camera.h"
#include "render/scene_view.h"
#include "state/redraw.h"
#include "tests/support/painter.h"

namespace {

class CoarseView : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    AppState().camera.Init(AppState().light);
  }
  static int Coarse() { return MainSceneView(FrameStart()).coarse; }
  // Idle steps; how many of them told that the view had come to rest.
  static int Steps(int count) {
    int told = 0;
    for (int i = 0; i < count; ++i) told += NoteIdleStep() ? 1 : 0;
    return told;
  }
  static void Move() {
    HandleCameraKey(AppState().camera, AppState().light, 'a');
    NoteIdleStep();
  }
};

TEST_F(CoarseView, MovingOverManyFacesDrawsTheBaseMeshesUntilTheCameraRestsAboveTheThreshold) {
  AppState().strokeSettings.subdivisionLevels = 2;
  for (int i = 0; i < 40; ++i) Paint(-0.9f, -0.9f + 0.045f * i, 0.11f, 0.01f, 16);
  Steps(12);
  EXPECT_EQ(Coarse(), 0) << "a resting camera draws exactly";
  Move();
  EXPECT_EQ(Coarse(), 1);
  Steps(9);
  EXPECT_EQ(Coarse(), 1) << "nine steps still count as moving";
  Steps(1);
  EXPECT_EQ(Coarse(), 0) << "the tenth step without a move is rest";
  for (int spin : {1, 0}) {  // a spin moves the camera every step
    AppState().camera.spin[1] = spin;
    Steps(12);
    EXPECT_EQ(Coarse(), spin);
  }
  // Fewer faces: strokes without subdivision are drawn exactly while moving.
  AppState().strokeSettings.subdivisionLevels = 0;
  for (int i = 1; i <= 40; ++i) {
    SelectStroke(i);
    UpdateSelectedStroke();
  }
  Move();
  EXPECT_EQ(Coarse(), 0);
  // The threshold is the most faces still drawn exactly while the camera
  // moves; the faces are counted from the meshes the strokes show.
  Stroke& stroke = AppState().canvas.strokes[0];
  stroke.renderType = kRenderMesh;
  stroke.subdivision.baseMesh.emplace();
  AppState().canvas.count = 1;
  for (const auto& [faces, coarse] : {std::pair{250000, 0}, {250001, 1}}) {
    stroke.subdivision.baseMesh->faceCount = faces;
    ++AppState().revisions.strokes;
    EXPECT_EQ(Coarse(), coarse) << faces;
  }
  stroke.subdivision.baseMesh.reset();
}

// A spin of the camera or of the light ball moves the view with no action
// of its own: the idle step where it has rested away from what the last
// action left tells so, once; a view an action left tells nothing.
TEST_F(CoarseView, AViewThatSpunToRestTellsSoOnce) {
  EXPECT_EQ(Steps(3 * kRestingSteps), 0) << "nothing moved";
  Camera& camera = AppState().camera;
  camera.spin[1] = 1;
  for (int i = 0; i < 5; ++i) {
    camera.RotatePoints(0.05f, 2);
    EXPECT_EQ(Steps(1), 0) << "a spinning camera does not rest";
  }
  camera.spin[1] = 0;
  EXPECT_EQ(Steps(3 * kRestingSteps), 1);
  for (int i = 0; i < 3; ++i) {
    AppState().light.rotation[1] += 0.1f;
    EXPECT_EQ(Steps(1), 0);
  }
  EXPECT_EQ(Steps(3 * kRestingSteps), 1);
  AppState().light.rotation[1] += 0.1f;
  SettingChanged();
  EXPECT_EQ(Steps(3 * kRestingSteps), 0) << "the action told where the light went";
}

}  // namespace
