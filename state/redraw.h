#pragma once
// When the windows draw: the decision, over one remembered value kept in
// the state (ApplicationState::redraw). Posting redisplays, the timer that
// checks after every round of input and the idle step's pace are the
// shell's (app/redisplay.h); each panel's key sits beside its display.
//
// A window draws when GLUT asks (it was exposed or resized) or when what it
// would show differs from what it drew last: each display notes the state
// it draws from, and after every round of input (before GLUT draws) that
// is compared with the state now, so an unchanged window does no GL work at
// all. A panel's picture is keyed by bytes (values of the settings it
// reads, revision counters of the data whose writers bump them); the main
// view's by its SceneView, which holds the GL state a frame starts from
// too (such as the light position, which reaches a frame one step late).
// So a window that would draw something different always draws, and one
// that would draw the same never does.

#include <array>
#include <cstdint>
#include <string>

#include "camera/camera.h"
#include "camera/light.h"
#include "render/scene_view.h"

// The windows the idle step redraws (the Size panel redraws only when GLUT
// or the Filter panel asks).
enum class Picture { kMain, kCameraPanel, kStrokePanel, kFilterPanel, kCount };

// A panel's picture key: the bytes of the values it is drawn from.
class RedrawKey {
 public:
  template <typename T>
  RedrawKey& Add(const T& value) {
    key_.append(reinterpret_cast<const char*>(&value), sizeof value);
    return *this;
  }
  RedrawKey& Add(const Vec4& v) { return Add(v.x).Add(v.y).Add(v.z).Add(v.w); }
  template <typename T, std::size_t N>
  RedrawKey& Add(const T (&values)[N]) {
    key_.append(reinterpret_cast<const char*>(values), sizeof values);
    return *this;
  }
  // Every field of the camera's pose (its list, camera/camera.h).
  RedrawKey& Add(const CameraPose& pose) {
    VisitSettings(pose, [this](const SettingKey&, const auto& field) { Add(field); });
    return *this;
  }
  std::string Done() { return std::move(key_); }

 private:
  std::string key_;
};

// The camera rests when it has not moved for this many idle steps (a sixth
// of a second at 60 steps a second): keys held down repeat faster.
constexpr int kRestingSteps = 10;

// What the decision remembers between frames and idle steps.
struct RedrawMemory {
  static constexpr int kPictures = static_cast<int>(Picture::kCount);
  std::array<std::string, kPictures> drawn;  // the panels' keys as last drawn
  // Frames still to draw after a resize, whatever the keys say.
  std::array<int, kPictures> framesAfterResize{};
  std::array<std::uint64_t, kPictures> textureRevisions{};
  SceneView drawnMain;  // the view of the main view's last frame, when mainDrawn
  bool mainDrawn = false;
  int stepsSinceCameraMoved = kRestingSteps;
  CameraPose cameraAtLastStep;
  // The view (camera pose and light) as the last idle step left it, and as
  // the last action left it (ViewReported).
  int stepsSinceViewMoved = kRestingSteps;
  Light lightAtLastStep = StartLight();
  CameraPose poseReported;
  Light lightReported = StartLight();
  // The faces the strokes are drawn from, counted at strokes revision
  // `countedRevision`.
  std::uint64_t countedRevision = ~std::uint64_t(0);
  std::size_t shownFaces = 0;
};

// The main view's display notes the view it draws; a panel's display the
// key of what it draws.
void NoteMainViewDrawn(const SceneView& view);
void NotePanelDrawn(Picture picture, std::string key);
// Whether the picture now would differ from the one drawn last.
bool MainViewChanged(const SceneView& now);
bool PanelChanged(Picture picture, const std::string& keyNow);

// What the main view shows now, of the state and of the GL state its next
// frame starts from (`glState`'s point size and light position, read from
// the main window's context by the caller). Strokes are drawn from their
// base meshes (`coarse`) while the camera moves over a painting of more
// than a quarter of a million faces; the exact frame follows once the
// camera has rested for kRestingSteps idle steps.
SceneView MainSceneView(const FrameStart& glState);
// The idle step tells the camera's and the light's movement here, once per
// step. True at the step where the view has rested for kRestingSteps
// steps differing from what the last action left (a spin of the camera or
// of the light ball moves it without actions): the shell then reports one
// settings action, so what a spin left is saved once, not at every step.
bool NoteIdleStep();
// Every action tells the view it leaves.
void ViewReported();
// The textures a window's context holds were loaded again.
void TexturesReloaded(Picture picture);
// A window was resized: it draws again, twice, whatever it shows (its
// buffers follow the new size only once a frame has been presented).
void WindowResized(Picture picture);
