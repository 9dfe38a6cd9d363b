#include "render/kept_picture.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "image/pixel_store.h"
#include "render/gl_features.h"
#include "render/scene.h"
#include "render/screen_boxes.h"

namespace {

// ---- Framebuffer objects -------------------------------------------------------------

struct FramebufferFunctions {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
};

// The entry points, looked up once: from GL 3.0 or GL_ARB_framebuffer_object,
// which name them alike.
const FramebufferFunctions* Functions() {
  static int known = 0;  // 1 available, -1 not
  static FramebufferFunctions functions;
  if (known != 0) return known > 0 ? &functions : nullptr;
  const ContextFeatures context = CurrentContextFeatures();
  if (!context.known) return nullptr;  // no context yet: ask again later
  known = -1;
  if (!context.AtLeast(3, 0) && !context.Lists("GL_ARB_framebuffer_object")) return nullptr;
  auto lookup = [](auto& entry, const char* name) { return LookUpEntry(entry, name); };
  FramebufferFunctions& f = functions;
  const bool all = lookup(f.genFramebuffers, "glGenFramebuffers") &&
                   lookup(f.bindFramebuffer, "glBindFramebuffer") &&
                   lookup(f.deleteFramebuffers, "glDeleteFramebuffers") &&
                   lookup(f.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                   lookup(f.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                   lookup(f.genRenderbuffers, "glGenRenderbuffers") &&
                   lookup(f.bindRenderbuffer, "glBindRenderbuffer") &&
                   lookup(f.renderbufferStorage, "glRenderbufferStorage") &&
                   lookup(f.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                   lookup(f.blitFramebuffer, "glBlitFramebuffer");
  if (all) known = 1;
  return known > 0 ? &functions : nullptr;
}

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

struct Framebuffer {
  GLuint framebuffer = 0, colour = 0, depth = 0;
  int width = 0, height = 0;
  GLXContext context = nullptr;  // the one context it belongs to
};

Framebuffer Kept;
bool Enabled = true;
bool Broken = false;  // the driver refused it once: frames draw everything from then on

void Release(const FramebufferFunctions& gl) {
  if (Kept.framebuffer) gl.deleteFramebuffers(1, &Kept.framebuffer);
  if (Kept.colour) gl.deleteRenderbuffers(1, &Kept.colour);
  if (Kept.depth) gl.deleteRenderbuffers(1, &Kept.depth);
  Kept = Framebuffer();
}

bool Create(const FramebufferFunctions& gl, int width, int height) {
  Release(gl);
  const GLenum depthFormat = WindowDepthFormat();
  gl.genFramebuffers(1, &Kept.framebuffer);
  gl.genRenderbuffers(1, &Kept.colour);
  gl.genRenderbuffers(1, &Kept.depth);
  gl.bindRenderbuffer(GL_RENDERBUFFER, Kept.colour);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  gl.bindRenderbuffer(GL_RENDERBUFFER, Kept.depth);
  gl.renderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
  gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
  gl.bindFramebuffer(GL_FRAMEBUFFER, Kept.framebuffer);
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, Kept.colour);
  const bool withStencil = depthFormat == GL_DEPTH24_STENCIL8 || depthFormat == GL_DEPTH32F_STENCIL8;
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER,
                             withStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                             GL_RENDERBUFFER, Kept.depth);
  const bool complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete || glGetError() != GL_NO_ERROR) {
    Release(gl);
    return false;
  }
  Kept.width = width;
  Kept.height = height;
  Kept.context = glXGetCurrentContext();
  return true;
}

// The framebuffer for a view of this size in the current context, made or
// remade as needed; nullptr where there is none to be had.
const FramebufferFunctions* Ready(int width, int height) {
  if (!Enabled || Broken) return nullptr;
  const FramebufferFunctions* gl = Functions();
  if (!gl) return nullptr;
  if (Kept.framebuffer && Kept.context != glXGetCurrentContext()) return nullptr;
  if (Kept.framebuffer && Kept.width == width && Kept.height == height) return gl;
  if (Create(*gl, width, height)) return gl;
  Broken = true;
  return nullptr;
}

// ---- What changed ---------------------------------------------------------------------

// The stroke being painted as the kept picture has it.
struct PaintedInPicture {
  std::size_t nodes = 0;
  Vec4 last;
};

SceneView KeptView;
PaintedInPicture KeptPainted;
bool KeptValid = false;

PaintedInPicture PaintedOf(const SceneView& view) {
  const std::vector<StrokeNode>& path = view.canvas->current.path;
  PaintedInPicture painted;
  painted.nodes = path.size();
  if (!path.empty()) painted.last = path.back().position;
  return painted;
}

bool SamePoint(const Vec4& a, const Vec4& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

// Where the painted stroke drew what the kept picture lacks: around its
// nodes from the last kept one on, when it only grew since. False when it
// changed otherwise (emptied, or nodes replaced): then all of it is drawn.
bool PaintedBoxes(const SceneView& view, const ScreenProjection& projection,
                  std::vector<ScreenBox>* boxes) {
  const std::vector<StrokeNode>& path = view.canvas->current.path;
  if (path.size() < KeptPainted.nodes) return false;
  if (KeptPainted.nodes > 0 && !SamePoint(path[KeptPainted.nodes - 1].position, KeptPainted.last))
    return false;
  SceneBox grown;
  for (std::size_t i = KeptPainted.nodes > 0 ? KeptPainted.nodes - 1 : 0; i < path.size(); ++i)
    grown.Add(path[i].position.x, path[i].position.y, path[i].position.z);
  if (!grown.Empty()) boxes->push_back(projection.Of(grown));
  return true;
}

// Where the outline was and is: around the strokes selected before and now.
void SelectionBoxes(const SceneView& view, const ScreenProjection& projection,
                    std::vector<ScreenBox>* boxes) {
  const Canvas& canvas = *view.canvas;
  for (int number : {KeptView.selectedStroke, view.selectedStroke})
    if (number >= 1 && number <= canvas.count)
      boxes->push_back(projection.Of(BoxOfStroke(canvas.strokes[number - 1])));
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

// Copies colour and depth of `box` between the kept framebuffer and the
// window's back buffer; false when the GL refused (buffers of other kinds).
bool CopyPicture(const FramebufferFunctions& gl, Copy direction, const PixelBox& box) {
  const GLuint kept = Kept.framebuffer;
  gl.bindFramebuffer(GL_READ_FRAMEBUFFER, direction == Copy::kKeptToWindow ? kept : 0);
  gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, direction == Copy::kKeptToWindow ? 0 : kept);
  const int x1 = box.x + box.width, y1 = box.y + box.height;
  gl.blitFramebuffer(box.x, box.y, x1, y1, box.x, box.y, x1, y1,
                     GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
  return glGetError() == GL_NO_ERROR;
}

PixelBox WholeView() { return PixelBox{0, 0, Kept.width, Kept.height}; }

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
                     const PixelBox& box) {
  glEnable(GL_SCISSOR_TEST);
  glScissor(box.x, box.y, box.width, box.height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  ScreenBox reach;
  reach.Add(box.x, box.y);
  reach.Add(box.x + box.width, box.y + box.height);
  DrawStill(view, StrokesReaching(projection, reach));
  glDisable(GL_SCISSOR_TEST);
}

// Boxes covering more than this share of the view cost more to draw in
// pieces than the whole picture does.
constexpr double kLargestShareInPieces = 0.5;

// The boxes of the still picture `view` draws differently from the kept
// one; false when all of it does.
bool ChangedBoxes(const SceneView& view, const ScreenProjection& projection,
                  std::vector<PixelBox>* pixels) {
  const ViewChange change = CompareViews(KeptView, view);
  if (!KeptValid || change.still) return false;
  std::vector<ScreenBox> boxes;
  if (change.painted && !PaintedBoxes(view, projection, &boxes)) return false;
  if (change.selection) SelectionBoxes(view, projection, &boxes);
  double area = 0;
  for (const ScreenBox& box : boxes) {
    const PixelBox inside = PixelsOf(box, projection.Viewport());
    if (inside.width == 0) continue;
    pixels->push_back(inside);
    area += double(inside.width) * inside.height;
  }
  return area <= kLargestShareInPieces * Kept.width * Kept.height;
}

// The still picture of `view` in the back buffer, and kept for later
// frames; false when a copy was refused.
bool DrawStillKept(const FramebufferFunctions& gl, const SceneView& view) {
  const ScreenProjection projection;
  std::vector<PixelBox> boxes;
  const bool inPieces = ChangedBoxes(view, projection, &boxes);
  if (KeptValid && !CopyPicture(gl, Copy::kKeptToWindow, WholeView())) return false;
  if (inPieces) {
    for (const PixelBox& box : boxes) {
      DrawStillInside(view, projection, box);
      if (!CopyPicture(gl, Copy::kWindowToKept, box)) return false;
    }
  } else {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawStill(view);
    if (!CopyPicture(gl, Copy::kWindowToKept, WholeView())) return false;
  }
  KeptView = view;
  KeptPainted = PaintedOf(view);
  KeptValid = true;
  return true;
}

}  // namespace

void DrawMainViewFrame(const SceneView& view) {
  const FramebufferFunctions* gl = Ready(view.camera.width, view.camera.height);
  if (gl && (Kept.width != KeptView.camera.width || Kept.height != KeptView.camera.height))
    KeptValid = false;
  if (!gl || !DrawStillKept(*gl, view)) {
    // Without a kept picture, or after the GL refused a copy (the window's
    // buffers are of another kind, which does not change): everything, now
    // and in every later frame.
    if (gl) {
      Broken = true;
      Release(*gl);
    }
    KeptValid = false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene(view);
    return;
  }
  DrawOverlays(view);
}

void SetKeptPicture(bool on) {
  Enabled = on;
  KeptValid = false;
  if (!on) {
    if (const FramebufferFunctions* gl = Functions(); gl && Kept.framebuffer &&
                                                      Kept.context == glXGetCurrentContext())
      Release(*gl);
  }
}

bool KeptPictureInUse() { return Enabled && !Broken && Kept.framebuffer != 0; }

bool ReadKeptPicture(int width, int height, std::uint8_t* rgba) {
  const FramebufferFunctions* gl = Functions();
  if (!gl || !KeptValid || !KeptPictureInUse() || Kept.context != glXGetCurrentContext() ||
      Kept.width != width || Kept.height != height)
    return false;
  const PixelStoreScope tightRows;
  gl->bindFramebuffer(GL_READ_FRAMEBUFFER, Kept.framebuffer);
  // The picture's own order: read as BGRA it costs a swizzle of every
  // pixel, nine times the copy on software rendering.
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  gl->bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  return true;
}

std::size_t KeptPictureBytes() {
  return static_cast<std::size_t>(Kept.width) * static_cast<std::size_t>(Kept.height) * 8;
}
