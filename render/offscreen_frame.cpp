#include "render/offscreen_frame.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "image/pixel_store.h"
#include "render/gl_features.h"
#include "render/scene.h"

OffscreenFrame::OffscreenFrame(int width, int height) : width_(width), height_(height) {
  const FramebufferEntryPoints* gl = Framebuffers();
  if (!gl) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    problem_ = std::string("this OpenGL (") + (version ? version : "no context") +
               ") has no framebuffer objects to draw a film's frames in";
    return;
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (width > largest || height > largest) {
    problem_ =
        "this OpenGL draws pictures of at most " + std::to_string(largest) + " pixels a side";
    return;
  }
  GLint bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  gl->genFramebuffers(1, &framebuffer_);
  gl->genRenderbuffers(1, &colour_);
  gl->genRenderbuffers(1, &depth_);
  gl->bindRenderbuffer(GL_RENDERBUFFER, colour_);
  gl->renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  gl->bindRenderbuffer(GL_RENDERBUFFER, depth_);
  gl->renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  gl->bindRenderbuffer(GL_RENDERBUFFER, 0);
  gl->bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  gl->framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  gl->framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
  const bool complete = gl->checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  gl->bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
  if (!complete || glGetError() != GL_NO_ERROR)
    problem_ = "this OpenGL has no room for a picture of " + std::to_string(width) + " x " +
               std::to_string(height) + " pixels";
}

OffscreenFrame::~OffscreenFrame() {
  const FramebufferEntryPoints* gl = Framebuffers();
  if (!gl) return;
  if (framebuffer_) gl->deleteFramebuffers(1, &framebuffer_);
  if (colour_) gl->deleteRenderbuffers(1, &colour_);
  if (depth_) gl->deleteRenderbuffers(1, &depth_);
}

namespace {

// Binds `framebuffer` for the life of the scope, with the context's state
// saved, and puts both back at its end.
class FramebufferScope {
 public:
  FramebufferScope(const FramebufferEntryPoints& gl, unsigned framebuffer) : gl_(gl) {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound_);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  }
  ~FramebufferScope() {
    gl_.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound_));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
  }
  FramebufferScope(const FramebufferScope&) = delete;
  FramebufferScope& operator=(const FramebufferScope&) = delete;

 private:
  const FramebufferEntryPoints& gl_;
  GLint bound_ = 0;
};

}  // namespace

void OffscreenFrame::Render(const SceneView& view, double lightTurn) {
  const FramebufferEntryPoints* gl = Framebuffers();
  if (!problem_.empty() || !gl) return;
  FramebufferScope scope(*gl, framebuffer_);
  glViewport(0, 0, width_, height_);
  Camera camera = view.camera;
  camera.width = width_;
  camera.height = height_;
  camera.LoadProjection();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPointSize(view.frameStart.pointSize);
  // The light as a still main view has it (given under the camera's
  // look-at and the light's rotation), turned about the canvas's upright
  // axis: it passes behind, beside and in front of the relief, so every
  // slope of the paint catches it in turn.
  camera.LookAt();
  glRotated(360.0 * lightTurn, 0.0, 1.0, 0.0);
  glMultMatrixf(view.light.rotation);
  glLightfv(GL_LIGHT0, GL_POSITION, view.light.position);
  glLoadIdentity();
  camera.LookAt();
  DrawScene(view);
}

void OffscreenFrame::Read(std::vector<std::uint8_t>* rgba) {
  const FramebufferEntryPoints* gl = Framebuffers();
  rgba->resize(std::size_t(width_) * height_ * 4);
  if (!problem_.empty() || !gl) return;
  FramebufferScope scope(*gl, framebuffer_);
  PixelStoreScope tight;
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
}
