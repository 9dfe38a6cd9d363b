#pragma once
// The main view's still picture — the backdrop, the stroke being painted and
// the committed strokes — kept with its depth in an off-screen framebuffer of
// the main window's context. A frame in which only the stroke being painted,
// the selection or the overlays changed draws only those: the new part of
// the painted stroke and the outlines are drawn again inside boxes around
// them, with the strokes that reach into a box (found through an index of
// their kept boxes, and of those only the runs of faces and particles that
// reach it), and the overlays are drawn over the kept picture. What the
// frame shows is exactly what drawing everything would show; only how much
// is drawn changes.
//
// Which part changed is told by comparing the view the picture was kept
// from with the view now (render/scene_view.h), nothing else.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/scene_view.h"
#include "render/stroke_index.h"

class KeptPicture {
 public:
  KeptPicture() = default;
  KeptPicture(const KeptPicture&) = delete;
  KeptPicture& operator=(const KeptPicture&) = delete;
  // Taking another's place gives back this one's framebuffer when its
  // context is current (a reset of the painter's state); in another context
  // the names are left to be freed with it.
  KeptPicture& operator=(KeptPicture&& other) noexcept;

  // Draws the frame of `view` into the back buffer of the current (main)
  // window, the camera's look-at already on the model-view matrix. Without
  // framebuffer objects, or with keeping turned off, it draws everything.
  void DrawFrame(const SceneView& view);

  // On by default. Off, every frame draws everything (comparisons of the two
  // need it); the kept picture is given back.
  void SetEnabled(bool on);
  // True while frames are drawn through a kept picture.
  bool InUse() const;
  // The memory the kept picture takes: colour and depth, 8 bytes a pixel.
  std::size_t Bytes() const;

  // Reads the kept picture of a view of `width` × `height` pixels as RGBA,
  // rows bottom first, into `rgba`: the painting without the cursor, the
  // axes and the selection's outline. False (nothing read) when no picture
  // of that size is kept in the current context.
  bool Read(int width, int height, std::uint8_t* rgba) const;

 private:
  // The framebuffer: its objects, size and the one context it belongs to.
  struct Framebuffer {
    unsigned framebuffer = 0, colour = 0, depth = 0;
    int width = 0, height = 0;
    void* context = nullptr;
  };
  // The stroke being painted as the kept picture has it.
  struct PaintedInPicture {
    std::size_t nodes = 0;
    Vec4 last;
  };

  void Release();
  bool Create(int width, int height);
  bool Ready(int width, int height);
  bool PaintedBoxes(const SceneView& view, const ScreenProjection& projection,
                    std::vector<ScreenBox>* boxes) const;
  void SelectionBoxes(const SceneView& view, const ScreenProjection& projection,
                      std::vector<ScreenBox>* boxes) const;
  bool DrawStillKept(const SceneView& view);

  Framebuffer kept_;
  bool enabled_ = true;
  bool broken_ = false;  // the driver refused it once: frames draw everything from then on
  SceneView keptView_;
  PaintedInPicture keptPainted_;
  bool keptValid_ = false;
  StrokeIndex index_;
};
