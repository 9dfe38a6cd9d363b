#pragma once
// The fixed OpenGL set-up of a window: render state, material and light 0.
// All act on the current GL context (what the context offers, and the
// report of it, are render/gl_features.h's).

#include "camera/light.h"

// Blending (src alpha, one minus src alpha), depth test, smooth shading, hints.
void InitRenderState();
// Colour material; front ambient 0.8 grey, diffuse 0.4 grey.
void InitMaterial();
// Normalised normals; light 0 diffuse 0.5 grey at the light's position,
// enabled.
void InitLight(const Light& light);
