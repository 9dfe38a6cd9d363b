#include "render/kept_picture.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "image/pixel_store.h"
#include "render/gl_features.h"
#include "render/scene.h"
#include "render/screen_boxes.h"

namespace {

// The depth format of the window's own buffers: depth is copied from the
// kept picture into the back buffer, which takes only the same format.
GLenum WindowDepthFormat() {
  GLint depthBits = 0, stencilBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
  if (stencilBits > 0) return depthBits == 32 ? GL_DEPTH32F_STENCIL8 : GL_DEPTH24_STENCIL8;
  if (depthBits == 16) return GL_DEPTH_COMPONENT16;
  if (depthBits == 32) return GL_DEPTH_COMPONENT32;
  return GL_DEPTH_COMPONENT24;
}

// ---- What changed ---------------------------------------------------------------------

bool SamePoint(const Vec4& a, const Vec4& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

// ---- Drawing --------------------------------------------------------------------------
//
// Everything is drawn into the window's own back buffer, never into the
// kept framebuffer: the GL may rasterise a triangle's edge pixels
// differently in a framebuffer object (rows run the other way there), and
// the frame must show exactly the pixels drawing everything shows. The
// kept picture is only copied, with its depth, between the two.

// A part of the view, in whole pixels.
struct PixelBox {
  int x = 0, y = 0, width = 0, height = 0;
};

enum class Copy { kKeptToWindow, kWindowToKept };

// Copies colour and depth of `box` between the kept framebuffer `kept` and
// the window's back buffer; false when the GL refused (buffers of other
// kinds).
bool CopyPicture(const FramebufferEntryPoints& gl, GLuint kept, Copy direction, const PixelBox& box) {
  gl.bindFramebuffer(GL_READ_FRAMEBUFFER, direction == Copy::kKeptToWindow ? kept : 0);
  gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, direction == Copy::kKeptToWindow ? 0 : kept);
  const int x1 = box.x + box.width, y1 = box.y + box.height;
  gl.blitFramebuffer(box.x, box.y, x1, y1, box.x, box.y, x1, y1,
                     GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
  return glGetError() == GL_NO_ERROR;
}

// The pixels of `box` inside the viewport; empty when it misses it.
PixelBox PixelsOf(const ScreenBox& box, const int* viewport) {
  PixelBox pixels;
  const int x0 = std::max(viewport[0], static_cast<int>(std::floor(box.x0)));
  const int y0 = std::max(viewport[1], static_cast<int>(std::floor(box.y0)));
  const int x1 = std::min(viewport[0] + viewport[2], static_cast<int>(std::ceil(box.x1)) + 1);
  const int y1 = std::min(viewport[1] + viewport[3], static_cast<int>(std::ceil(box.y1)) + 1);
  if (x1 > x0 && y1 > y0) pixels = PixelBox{x0, y0, x1 - x0, y1 - y0};
  return pixels;
}

// The still picture drawn again inside `box` of the back buffer: cleared
// there, then everything that reaches into it, confined by the scissor.
void DrawStillInside(const SceneView& view, const ScreenProjection& projection,
                     const StrokeIndex& index, const PixelBox& box) {
  glEnable(GL_SCISSOR_TEST);
  glScissor(box.x, box.y, box.width, box.height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  ScreenBox reach;
  reach.Add(box.x, box.y);
  reach.Add(box.x + box.width, box.y + box.height);
  const ConfinedPass pass = index.Reaching(projection, reach);
  DrawStill(view, &pass);
  glDisable(GL_SCISSOR_TEST);
}

// Boxes covering more than this share of the view cost more to draw in
// pieces than the whole picture does.
constexpr double kLargestShareInPieces = 0.5;

}  // namespace

KeptPicture& KeptPicture::operator=(KeptPicture&& other) noexcept {
  if (this == &other) return *this;
  if (kept_.framebuffer && kept_.context == glXGetCurrentContext()) Release();
  kept_ = other.kept_;
  enabled_ = other.enabled_;
  broken_ = other.broken_;
  keptView_ = other.keptView_;
  keptPainted_ = other.keptPainted_;
  keptValid_ = other.keptValid_;
  index_ = std::move(other.index_);
  other.kept_ = Framebuffer();
  other.keptValid_ = false;
  return *this;
}

// ---- The framebuffer ------------------------------------------------------------------

void KeptPicture::Release() {
  const FramebufferEntryPoints* gl = Framebuffers();
  if (gl && kept_.framebuffer) gl->deleteFramebuffers(1, &kept_.framebuffer);
  if (gl && kept_.colour) gl->deleteRenderbuffers(1, &kept_.colour);
  if (gl && kept_.depth) gl->deleteRenderbuffers(1, &kept_.depth);
  kept_ = Framebuffer();
}

bool KeptPicture::Create(int width, int height) {
  Release();
  const FramebufferEntryPoints& gl = *Framebuffers();
  const GLenum depthFormat = WindowDepthFormat();
  gl.genFramebuffers(1, &kept_.framebuffer);
  gl.genRenderbuffers(1, &kept_.colour);
  gl.genRenderbuffers(1, &kept_.depth);
  gl.bindRenderbuffer(GL_RENDERBUFFER, kept_.colour);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  gl.bindRenderbuffer(GL_RENDERBUFFER, kept_.depth);
  gl.renderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
  gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
  gl.bindFramebuffer(GL_FRAMEBUFFER, kept_.framebuffer);
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, kept_.colour);
  const bool withStencil = depthFormat == GL_DEPTH24_STENCIL8 || depthFormat == GL_DEPTH32F_STENCIL8;
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER,
                             withStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                             GL_RENDERBUFFER, kept_.depth);
  const bool complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete || glGetError() != GL_NO_ERROR) {
    Release();
    return false;
  }
  kept_.width = width;
  kept_.height = height;
  kept_.context = glXGetCurrentContext();
  return true;
}

// The framebuffer for a view of this size in the current context, made or
// remade as needed; false where there is none to be had.
bool KeptPicture::Ready(int width, int height) {
  if (!enabled_ || broken_ || !Framebuffers()) return false;
  if (kept_.framebuffer && kept_.context != glXGetCurrentContext()) return false;
  if (kept_.framebuffer && kept_.width == width && kept_.height == height) return true;
  if (Create(width, height)) return true;
  broken_ = true;
  return false;
}

// ---- What changed ---------------------------------------------------------------------

// Where the painted stroke drew what the kept picture lacks: around its
// nodes from the last kept one on, when it only grew since. False when it
// changed otherwise (emptied, or nodes replaced): then all of it is drawn.
bool KeptPicture::PaintedBoxes(const SceneView& view, const ScreenProjection& projection,
                               std::vector<ScreenBox>* boxes) const {
  const std::vector<StrokeNode>& path = view.canvas->current.path;
  const PaintedInPicture& kept = keptPainted_;
  if (path.size() < kept.nodes) return false;
  if (kept.nodes > 0 && !SamePoint(path[kept.nodes - 1].position, kept.last)) return false;
  SceneBox grown;
  for (std::size_t i = kept.nodes > 0 ? kept.nodes - 1 : 0; i < path.size(); ++i)
    grown.Add(path[i].position.x, path[i].position.y, path[i].position.z);
  if (!grown.Empty()) boxes->push_back(projection.Of(grown));
  return true;
}

// Where the outline was and is: around the strokes selected before and now.
void KeptPicture::SelectionBoxes(const SceneView& view, const ScreenProjection& projection,
                                 std::vector<ScreenBox>* boxes) const {
  const Canvas& canvas = *view.canvas;
  for (int number : {keptView_.selectedStroke, view.selectedStroke})
    if (number >= 1 && number <= canvas.count)
      boxes->push_back(projection.Of(canvas.strokes[number - 1].reach.whole));
}

// ---- Drawing --------------------------------------------------------------------------

// The still picture of `view` in the back buffer, and kept for later
// frames; false when a copy was refused. Drawn in pieces when only some
// boxes of it changed and they cover little of the view, else whole.
bool KeptPicture::DrawStillKept(const SceneView& view) {
  const FramebufferEntryPoints& gl = *Framebuffers();
  const ScreenProjection projection;
  const ViewChange change = CompareViews(keptView_, view);
  std::vector<ScreenBox> boxes;
  bool inPieces = keptValid_ && !change.still &&
                  (!change.painted || PaintedBoxes(view, projection, &boxes));
  if (inPieces && change.selection) SelectionBoxes(view, projection, &boxes);
  std::vector<PixelBox> pieces;
  double area = 0;
  for (const ScreenBox& box : boxes) {
    const PixelBox inside = PixelsOf(box, projection.Viewport());
    if (inside.width == 0) continue;
    pieces.push_back(inside);
    area += double(inside.width) * inside.height;
  }
  inPieces = inPieces && area <= kLargestShareInPieces * kept_.width * kept_.height;
  const PixelBox whole{0, 0, kept_.width, kept_.height};
  if (keptValid_ && !CopyPicture(gl, kept_.framebuffer, Copy::kKeptToWindow, whole)) return false;
  if (inPieces) {
    if (!pieces.empty()) index_.Update(*view.canvas, view.strokesRevision);
    for (const PixelBox& piece : pieces) {
      DrawStillInside(view, projection, index_, piece);
      if (!CopyPicture(gl, kept_.framebuffer, Copy::kWindowToKept, piece)) return false;
    }
  } else {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawStill(view);
    if (!CopyPicture(gl, kept_.framebuffer, Copy::kWindowToKept, whole)) return false;
  }
  keptView_ = view;
  const std::vector<StrokeNode>& path = view.canvas->current.path;
  keptPainted_ = PaintedInPicture{path.size(), path.empty() ? Vec4() : path.back().position};
  keptValid_ = true;
  return true;
}

void KeptPicture::DrawFrame(const SceneView& view) {
  const bool ready = Ready(view.camera.width, view.camera.height);
  if (ready && (kept_.width != keptView_.camera.width || kept_.height != keptView_.camera.height))
    keptValid_ = false;
  if (!ready || !DrawStillKept(view)) {
    // Without a kept picture, or after the GL refused a copy (the window's
    // buffers are of another kind, which does not change): everything, now
    // and in every later frame.
    if (ready) {
      broken_ = true;
      Release();
    }
    keptValid_ = false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene(view);
    return;
  }
  DrawOverlays(view);
}

void KeptPicture::SetEnabled(bool on) {
  enabled_ = on;
  keptValid_ = false;
  if (!on && Framebuffers() && kept_.framebuffer && kept_.context == glXGetCurrentContext())
    Release();
}

bool KeptPicture::InUse() const { return enabled_ && !broken_ && kept_.framebuffer != 0; }

bool KeptPicture::Read(int width, int height, std::uint8_t* rgba) const {
  const FramebufferEntryPoints* gl = Framebuffers();
  if (!gl || !keptValid_ || !InUse() || kept_.context != glXGetCurrentContext() ||
      kept_.width != width || kept_.height != height)
    return false;
  const PixelStoreScope tightRows;
  gl->bindFramebuffer(GL_READ_FRAMEBUFFER, kept_.framebuffer);
  // The picture's own order: read as BGRA it costs a swizzle of every
  // pixel, nine times the copy on software rendering.
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  gl->bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  return true;
}

std::size_t KeptPicture::Bytes() const {
  return static_cast<std::size_t>(kept_.width) * static_cast<std::size_t>(kept_.height) * 8;
}
