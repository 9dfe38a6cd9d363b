#pragma once
// Pictures of the main view drawn off-screen at a size of their own (the
// frames of a film), in a framebuffer object of the current context (the
// main window's, where the strokes' textures and buffers live). Nothing
// on the screen changes: the windows keep their pictures, and a virtual
// display works as well as a real one.

#include <cstdint>
#include <string>
#include <vector>

#include "render/scene_view.h"

class OffscreenFrame {
 public:
  // A framebuffer of `width` × `height` in the current context. Without
  // framebuffer objects, or one of that size, Problem() says why.
  OffscreenFrame(int width, int height);
  // Gives the buffers back: the context it was made in must be current.
  ~OffscreenFrame();
  OffscreenFrame(const OffscreenFrame&) = delete;
  OffscreenFrame& operator=(const OffscreenFrame&) = delete;

  // Empty when frames can be drawn.
  const std::string& Problem() const { return problem_; }

  // Draws the scene pass of `view` as the main view draws it, framed by
  // its camera with this frame's aspect, with its light turned by
  // `lightTurn` of a whole turn about the canvas's upright axis (0: where
  // the painting keeps it), and reads it back: RGBA, rows bottom first. The
  // context's state (viewport, matrices, light, bound framebuffer) is left
  // as it was.
  void Draw(const SceneView& view, double lightTurn, std::vector<std::uint8_t>* rgba) {
    Render(view, lightTurn);
    Read(rgba);
  }
  // The two halves of Draw, apart for measuring them.
  void Render(const SceneView& view, double lightTurn);
  void Read(std::vector<std::uint8_t>* rgba);

 private:
  int width_, height_;
  unsigned framebuffer_ = 0, colour_ = 0, depth_ = 0;
  std::string problem_;
};
