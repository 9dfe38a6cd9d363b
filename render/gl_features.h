#pragma once
// What the current GL context offers, for choosing optional entry points.
// The entry-point lookup answers even for names a driver lacks, so the
// version and the extension string decide whether a name is there.

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <string>

struct ContextFeatures {
  bool known = false;  // false without a current context: ask again later
  int major = 0, minor = 0;
  std::string extensions;

  bool AtLeast(int wantMajor, int wantMinor) const {
    return major > wantMajor || (major == wantMajor && minor >= wantMinor);
  }
  bool Lists(const std::string& extension) const;
};

ContextFeatures CurrentContextFeatures();

// The GL_ARB_multitexture entry points of the main window's context, as
// ReportGLEnvironment looked them up: all null when the extension is not
// listed, and then nothing may call them.
struct MultitextureEntryPoints {
  void (*multiTexCoord2f)(unsigned int target, float s, float t) = nullptr;
  void (*activeTexture)(unsigned int texture) = nullptr;
  void (*clientActiveTexture)(unsigned int texture) = nullptr;
  bool Available() const { return multiTexCoord2f && activeTexture; }
};
const MultitextureEntryPoints& Multitexture();

// The framebuffer-object entry points of the current context (GL 3.0 and
// GL_ARB_framebuffer_object name them alike), looked up once a context is
// current; null where it has none. The main view's kept picture and a
// film's frames draw off the screen through them.
struct FramebufferEntryPoints {
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
const FramebufferEntryPoints* Framebuffers();

// Prints vendor, renderer, version, light and texture-unit counts and which
// extensions are present (the current context's); looks the multitexture
// entry points up only when GL_ARB_multitexture is listed.
void ReportGLEnvironment();

// Sets `entry` to the entry point called `name`; false where there is none.
template <typename Entry>
bool LookUpEntry(Entry& entry, const std::string& name) {
  entry = reinterpret_cast<Entry>(glutGetProcAddress(name.c_str()));
  return entry != nullptr;
}
