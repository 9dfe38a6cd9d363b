#include "render/gl_features.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "common/progress.h"
#include "platform/extensions.h"

namespace {

// Looked up once, by the start-up's report, for the life of the program.
MultitextureEntryPoints& EntryPoints() {
  static MultitextureEntryPoints points;
  return points;
}

std::string GlString(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

bool ContextFeatures::Lists(const std::string& extension) const {
  return ExtensionListed(extensions, extension);
}

ContextFeatures CurrentContextFeatures() {
  ContextFeatures features;
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return features;
  features.known = std::sscanf(version, "%d.%d", &features.major, &features.minor) >= 1;
  if (const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)))
    features.extensions = extensions;
  return features;
}

const MultitextureEntryPoints& Multitexture() { return EntryPoints(); }

const FramebufferEntryPoints* Framebuffers() {
  static int known = 0;  // 1 available, -1 not
  static FramebufferEntryPoints entries;
  if (known != 0) return known > 0 ? &entries : nullptr;
  const ContextFeatures context = CurrentContextFeatures();
  if (!context.known) return nullptr;  // no context yet: ask again later
  known = -1;
  if (!context.AtLeast(3, 0) && !context.Lists("GL_ARB_framebuffer_object")) return nullptr;
  FramebufferEntryPoints& f = entries;
  const bool all = LookUpEntry(f.genFramebuffers, "glGenFramebuffers") &&
                   LookUpEntry(f.bindFramebuffer, "glBindFramebuffer") &&
                   LookUpEntry(f.deleteFramebuffers, "glDeleteFramebuffers") &&
                   LookUpEntry(f.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                   LookUpEntry(f.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                   LookUpEntry(f.genRenderbuffers, "glGenRenderbuffers") &&
                   LookUpEntry(f.bindRenderbuffer, "glBindRenderbuffer") &&
                   LookUpEntry(f.renderbufferStorage, "glRenderbufferStorage") &&
                   LookUpEntry(f.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                   LookUpEntry(f.blitFramebuffer, "glBlitFramebuffer");
  if (all) known = 1;
  return known > 0 ? &entries : nullptr;
}

void ReportGLEnvironment() {
  PrintLine("\t--------------------------------------------");
  const ContextFeatures features = CurrentContextFeatures();
  PrintLine("\t" + GlString(GL_VENDOR));
  PrintLine("\t" + GlString(GL_RENDERER));
  PrintLine("\tOpenGL: " + GlString(GL_VERSION));
  GLint lights = 0, units = 0;
  glGetIntegerv(GL_MAX_LIGHTS, &lights);
  glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
  PrintLine("\tLIGHTUNITS: " + std::to_string(lights));
  PrintLine("\tTEXUNITS: " + std::to_string(units));
  MultitextureEntryPoints& points = EntryPoints();
  points = MultitextureEntryPoints();
  if (features.Lists("GL_ARB_multitexture")) {
    PrintLine("\tEXT: GL_ARB_multitexture SUPPORTED");
    LookUpEntry(points.multiTexCoord2f, "glMultiTexCoord2fARB");
    LookUpEntry(points.activeTexture, "glActiveTextureARB");
    LookUpEntry(points.clientActiveTexture, "glClientActiveTextureARB");
  } else {
    PrintLine("\tEXT: GL_ARB_multitexture NOT SUPPORTED!");
  }
  PrintLine(features.Lists("GL_EXT_texture_env_combine") ? "\tEXT: GL_Combine_ARB SUPPORTED"
                                                         : "\tEXT: GL_Combine_ARB NOT SUPPORTED!");
  PrintLine("\t--------------------------------------------");
  PrintLine("");
}
