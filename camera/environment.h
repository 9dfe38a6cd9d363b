#pragma once
// The fixed OpenGL set-up of a window: implementation report with the
// multitexture entry points, render state, material and light 0.
// All act on the current GL context.

#include "camera/light.h"

// The GL_ARB_multitexture entry points of the main window's context, as
// ReportGLEnvironment fetched them: all null when the extension is not
// listed, and then nothing may call them.
struct MultitextureEntryPoints {
  void (*multiTexCoord2f)(unsigned int target, float s, float t) = nullptr;
  void (*activeTexture)(unsigned int texture) = nullptr;
  void (*clientActiveTexture)(unsigned int texture) = nullptr;
  bool Available() const { return multiTexCoord2f && activeTexture; }
};
const MultitextureEntryPoints& Multitexture();

// Prints vendor, renderer, version, light and texture-unit counts and which
// extensions are present; fetches the multitexture entry points only when
// GL_ARB_multitexture is listed (an exact token of the extension string).
void ReportGLEnvironment();
// Blending (src alpha, one minus src alpha), depth test, smooth shading, hints.
void InitRenderState();
// Colour material; front ambient 0.8 grey, diffuse 0.4 grey.
void InitMaterial();
// Normalised normals; light 0 diffuse 0.5 grey at the light's position,
// enabled.
void InitLight(const Light& light);
