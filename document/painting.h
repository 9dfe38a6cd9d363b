#pragma once
// A painting as a document holds it: plain values the program converts its
// state to before saving and applies in one step after opening. Nothing
// here refers to windows, GL names or the painter's state; the document
// folder reads and writes these values and nothing else.

#include <cstdint>
#include <string>
#include <vector>

#include "camera/camera.h"
#include "camera/display_toggles.h"
#include "camera/light.h"
#include "common/settings_list.h"
#include "common/vec4.h"
#include "image/textures.h"
#include "stroke/settings.h"
#include "stroke/stroke.h"

using Bytes = std::vector<std::uint8_t>;

// The camera a painting is looked at with: its pose and spin. The
// window's size is not part of the painting: it belongs to the screen the
// painting is opened on.
struct PaintingCamera {
  CameraPose pose;
  int spin[3] = {0, 0, 0};  // side, up, view: units of 0.05° per idle step
};
template <typename Group, typename Visit>
std::enable_if_t<std::is_same_v<std::remove_const_t<Group>, PaintingCamera>> VisitSettings(
    Group& group, Visit&& visit) {
  VisitSettings(group.pose, visit);  // in the same object as the spin
  visit(SettingKey{"spin", kAnyInt}, group.spin);
}

// The parts of the painter's state that belong to the painting: what the
// next stroke is built with, how crossings pile up, what the view shows
// and from where. Every member starts at the painter's start value, which
// is also what a file that lacks it gets.
struct PaintingSettings {
  StrokeSettings stroke;
  Collisions collisions;  // the Stroke panel's "C" and the Size panel's factors
  DisplayToggles display;
  Light light = StartLight();
  PaintingCamera camera;
  unsigned int primitiveMode = kPolygonModeFill;
  ColourMarker colourMarker;
  // The random generator's state (RandomGenerator::State), so that the
  // strokes painted after opening get the sizes and particles they would
  // have got had the painting never been closed.
  std::uint32_t randomState = 1;
};
// The groups and fields in the order a manifest writes them; a group's own
// fields go into an object under its key. primitiveMode is also one of
// points (0), kPolygonModeLine or kPolygonModeFill, which a reader checks.
template <typename Group, typename Visit>
std::enable_if_t<std::is_same_v<std::remove_const_t<Group>, PaintingSettings>> VisitSettings(
    Group& group, Visit&& visit) {
  visit(SettingKey{"stroke", kAnyNumber}, group.stroke);
  visit(SettingKey{"collisions", kAnyNumber}, group.collisions);
  visit(SettingKey{"display", kAnyNumber}, group.display);
  visit(SettingKey{"light", kAnyNumber}, group.light);
  visit(SettingKey{"camera", kAnyNumber}, group.camera);
  visit(SettingKey{"primitiveMode", Between(0, kPolygonModeFill)}, group.primitiveMode);
  visit(SettingKey{"colourMarker", kAnyNumber}, group.colourMarker);
  visit(SettingKey{"randomState", Between(0, 0xFFFFFFFFu)}, group.randomState);
}

// A map the painting uses, carried inside the file, so that the painting
// opens on a machine without it and does not change when the map file is
// edited later.
struct EmbeddedMap {
  MapSlot slot = MAP_MESH;  // one of kEmbeddedMapSlots
  std::string fileName;     // the name the map-file table gave it
  Bytes bmp;                // the file's bytes: an uncompressed 24- or 32-bit BMP
};

// The slots whose maps a painting embeds: what its strokes are drawn and
// built with, and the picture under "Paper ON".
constexpr MapSlot kEmbeddedMapSlots[] = {
    MAP_MESH, MAP_PARTICLE_BRUSH, MAP_PARTICLE_HALO, MAP_HEIGHT, MAP_DETAIL, MAP_PAPER, MAP_SOURCE};

struct Painting {
  // The committed strokes in slot order, so that stroke numbers survive. A
  // deleted stroke keeps its slot and its content with `deleted` set, as
  // the canvas keeps it: rebuilding it brings it back. A stroke as it
  // stands: meshes included, particle display list 0.
  std::vector<Stroke> strokes;
  int selectedStroke = 0;  // 1-based; 0 = none
  PaintingSettings settings;
  std::vector<EmbeddedMap> maps;  // at most one per slot of kEmbeddedMapSlots
  Bytes filteredPicture;          // BMP bytes of the picture under "Paper ON"; empty = none
  Bytes thumbnail;                // PNG bytes; empty = none
};
