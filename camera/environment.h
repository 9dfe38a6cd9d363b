#pragma once
// The fixed OpenGL set-up of a window: implementation report with the
// multitexture entry points, render state, material and light 0.
// All act on the current GL context.

// Prints vendor, renderer, version, light and texture-unit counts and which
// extensions are present; fetches the multitexture entry points only when
// GL_ARB_multitexture is listed (an exact token of the extension string).
void ReportGLEnvironment();
// Blending (src alpha, one minus src alpha), depth test, smooth shading, hints.
void InitRenderState();
// Colour material; front ambient 0.8 grey, diffuse 0.4 grey.
void InitMaterial();
// Normalised normals; light 0 diffuse 0.5 grey at LightPosition, enabled.
void InitLight();
