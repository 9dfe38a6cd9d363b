#pragma once
// What building a stroke reads besides the stroke itself. The application
// keeps one instance of each, edited by the Stroke and Size panels, and
// passes it to every build, rebuild and crossing check; tests and other
// front ends pass their own.

#include "common/vec4.h"

struct StrokeSettings {
  int pathLod = 5;            // path samples per painted node, 1..64
  int shapeLod = 5;           // cross-section samples, 1..64
  int subdivisionLevels = 0;  // butterfly levels, 0..5
  int endNode = 5;            // painted nodes' worth of start taper, 0..64
  int showParticles = 0;      // built, and drawn unless showMesh, as particles
  int showMesh = 1;           // drawn as a mesh
  int randomSize = 0;         // node sizes jittered by ±12.5 %
  // Width and height at the first and the last path sample.
  float widthStart = 0.04f, widthEnd = 0.0f;
  float heightStart = 0.025f, heightEnd = 0.0f;
  // Colour of the stroke's cross-section at its start and end; the build
  // uses them with alpha 1.
  Vec4 startColour, endColour;
  // How a pen's pressure p sizes each path sample: its width and height
  // are scaled by minimum + (1 − minimum) · p^curve, so a full press paints
  // the sizes above and a touch that barely registers `pressureMinimum` of
  // them. A quarter keeps the lightest touch a visible line (a default
  // stroke's 0.04 becomes 0.01, some three pixels across the start view)
  // while leaving a range of four to one for the hand. The curve is 1
  // (linear) by default; above 1 light touches stay thin longer. Pressure
  // 1 (a mouse) leaves the sizes exactly as they are.
  float pressureMinimum = 0.25f;  // 0..1
  float pressureCurve = 1.0f;     // > 0
};

// The factor a path sample of this pressure scales its width and height
// by: exactly 1 at pressure 1 (and above), so strokes painted without a pen
// are built as they always were.
float PressureScale(float pressure, const StrokeSettings& settings);

// How strongly a later stroke piles up where it crosses an earlier one: the
// crossing point rises and widens by the "start" factors times the earlier
// stroke's height and width, the point after it sinks and narrows by the
// "end" factors.
struct CollisionFactors {
  float widthStart = 1.021f, widthEnd = 1.021f;
  float heightStart = 1.021f, heightEnd = 1.021f;
};

// What a stroke is drawn as (Stroke::renderType).
enum RenderType : int { kRenderNothing = 0, kRenderMesh = 1, kRenderParticles = 2 };
