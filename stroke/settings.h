#pragma once
// What building a stroke reads besides the stroke itself. The application
// keeps one instance of each, edited by the Stroke and Size panels, and
// passes it to every build, rebuild and crossing check; tests and other
// front ends pass their own.
//
// How a pen's pressure p sizes each path sample: its width and height are
// scaled by pressureMinimum + (1 − pressureMinimum) · p^pressureCurve, so a
// full press paints the sizes of the list and a touch that barely registers
// a quarter of them. A quarter keeps the lightest touch a visible line (a
// default stroke's 0.04 becomes 0.01, some three pixels across the start
// view) while leaving a range of four to one for the hand. The curve is 1
// (linear) by default; above 1 light touches stay thin longer. Pressure 1
// (a mouse) leaves the sizes exactly as they are.

#include "common/settings_list.h"
#include "common/vec4.h"

// What every build reads: one row per field (common/settings_list.h). A
// new stroke-making setting is one row here, plus its control in a panel
// (which takes its limits from the row: RangeOfSetting); paintings and
// every other file of settings save and read it from then on.
// Ranges: the Stroke panel's spinners, which a build reads as sample
// counts; widths and heights are any number the Size panel's spinners
// reach. Colours are those of the stroke's cross-section at its start and
// end (the build uses them with alpha 1).
#define STROKE_SETTINGS(FIELD)                                                           \
  FIELD(int, pathLod, 5, Between(1, 64))          /* path samples per node */            \
  FIELD(int, shapeLod, 5, Between(1, 64))         /* cross-section samples */            \
  FIELD(int, subdivisionLevels, 0, Between(0, 5)) /* butterfly levels */                 \
  FIELD(int, endNode, 5, Between(0, 64))          /* nodes' worth of taper */            \
  FIELD(int, showParticles, 0, kFlag)             /* built, and drawn unless showMesh */ \
  FIELD(int, showMesh, 1, kFlag)                  /* drawn as a mesh */                  \
  FIELD(int, randomSize, 0, kFlag)                /* node sizes jittered by ±12.5 % */  \
  FIELD(float, widthStart, 0.04f, kAnyNumber)     /* at the first path sample */         \
  FIELD(float, widthEnd, 0.0f, kAnyNumber)        /* at the last */                      \
  FIELD(float, heightStart, 0.025f, kAnyNumber)                                          \
  FIELD(float, heightEnd, 0.0f, kAnyNumber)                                              \
  FIELD(Vec4, startColour, Vec4(), kAnyNumber)                                           \
  FIELD(Vec4, endColour, Vec4(), kAnyNumber)                                             \
  FIELD(float, pressureMinimum, 0.25f, Between(0, 1)) /* a pen's lightest touch */      \
  FIELD(float, pressureCurve, 1.0f, Between(0.1, 10)) /* how fast it rises */

struct StrokeSettings {
  STROKE_SETTINGS(SETTING_MEMBER)
};
SETTINGS_VISITOR(StrokeSettings, STROKE_SETTINGS)

// The factor a path sample of this pressure scales its width and height
// by: exactly 1 at pressure 1 (and above), so strokes painted without a pen
// are built as they always were.
float PressureScale(float pressure, const StrokeSettings& settings);

// How strongly a later stroke piles up where it crosses an earlier one: the
// crossing point rises and widens by the "start" factors times the earlier
// stroke's height and width, the point after it sinks and narrows by the
// "end" factors (the Size panel's "Collision Nodes").
#define COLLISION_FACTORS(FIELD)                \
  FIELD(float, widthStart, 1.021f, kAnyNumber)  \
  FIELD(float, widthEnd, 1.021f, kAnyNumber)    \
  FIELD(float, heightStart, 1.021f, kAnyNumber) \
  FIELD(float, heightEnd, 1.021f, kAnyNumber)

struct CollisionFactors {
  COLLISION_FACTORS(SETTING_MEMBER)
};
SETTINGS_VISITOR(CollisionFactors, COLLISION_FACTORS)

// The crossing check: whether it runs after every commit ("C" in the
// Stroke panel), and how strongly crossings pile up.
struct Collisions {
  int afterStroke = 0;
  CollisionFactors factors;
};
template <typename Group, typename Visit>
std::enable_if_t<std::is_same_v<std::remove_const_t<Group>, Collisions>> VisitSettings(
    Group& group, Visit&& visit) {
  visit(SettingKey{"afterStroke", kFlag}, group.afterStroke);
  VisitSettings(group.factors, visit);  // in the same object as the switch
}

// The Stroke panel's marker on its colour spectrum, where the stroke
// colour was picked.
#define COLOUR_MARKER(FIELD)                     \
  FIELD(float, x, 0.086f, kAnyNumber) /* 0..1 */ \
  FIELD(float, y, 2.189f, kAnyNumber) /* 0..4 */

struct ColourMarker {
  COLOUR_MARKER(SETTING_MEMBER)
};
SETTINGS_VISITOR(ColourMarker, COLOUR_MARKER)

// What a stroke is drawn as (Stroke::renderType).
enum RenderType : int { kRenderNothing = 0, kRenderMesh = 1, kRenderParticles = 2 };
