#include "camera/environment.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <string>

#include "common/progress.h"
#include "platform/extensions.h"

namespace {

MultitextureEntryPoints EntryPoints;

template <typename Proc>
Proc Lookup(const char* name) {
  return reinterpret_cast<Proc>(glutGetProcAddress(name));
}

std::string GlString(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

const MultitextureEntryPoints& Multitexture() { return EntryPoints; }

void ReportGLEnvironment() {
  PrintLine("\t--------------------------------------------");
  const std::string extensions = GlString(GL_EXTENSIONS);
  PrintLine("\t" + GlString(GL_VENDOR));
  PrintLine("\t" + GlString(GL_RENDERER));
  PrintLine("\tOpenGL: " + GlString(GL_VERSION));
  GLint lights = 0, units = 0;
  glGetIntegerv(GL_MAX_LIGHTS, &lights);
  glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
  PrintLine("\tLIGHTUNITS: " + std::to_string(lights));
  PrintLine("\tTEXUNITS: " + std::to_string(units));
  // The lookup answers even for unknown names on some drivers, so support
  // is decided by the extension string alone.
  if (ExtensionListed(extensions, "GL_ARB_multitexture")) {
    PrintLine("\tEXT: GL_ARB_multitexture SUPPORTED");
    using Points = MultitextureEntryPoints;
    EntryPoints.multiTexCoord2f = Lookup<decltype(Points::multiTexCoord2f)>("glMultiTexCoord2fARB");
    EntryPoints.activeTexture = Lookup<decltype(Points::activeTexture)>("glActiveTextureARB");
    EntryPoints.clientActiveTexture =
        Lookup<decltype(Points::clientActiveTexture)>("glClientActiveTextureARB");
  } else {
    PrintLine("\tEXT: GL_ARB_multitexture NOT SUPPORTED!");
    EntryPoints = MultitextureEntryPoints();
  }
  PrintLine(ExtensionListed(extensions, "GL_EXT_texture_env_combine")
                ? "\tEXT: GL_Combine_ARB SUPPORTED"
                : "\tEXT: GL_Combine_ARB NOT SUPPORTED!");
  PrintLine("\t--------------------------------------------");
  PrintLine("");
}

void InitRenderState() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
}

void InitMaterial() {
  glEnable(GL_COLOR_MATERIAL);
  const GLfloat ambient[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat diffuse[4] = {0.4f, 0.4f, 0.4f, 1.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
}

void InitLight(const Light& light) {
  glEnable(GL_NORMALIZE);
  // Alpha 1: it has no effect on the lit colour, 1 is the neutral value.
  const GLfloat diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_POSITION, light.position);
  // The 0.5 ambient level is deliberately not applied: OpenGL's defaults
  // (0.2 grey scene ambient) keep the relief's shading contrast, which is
  // what makes strokes read as raised paint.
  glEnable(GL_LIGHT0);
}
