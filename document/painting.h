#pragma once
// A painting as a document holds it: plain values the program converts its
// state to before saving and applies in one step after opening. Nothing
// here refers to windows, GL names or the painter's state; the document
// folder reads and writes these values and nothing else.

#include <cstdint>
#include <string>
#include <vector>

#include "camera/light.h"
#include "common/vec4.h"
#include "image/textures.h"
#include "render/scene_view.h"
#include "stroke/settings.h"
#include "stroke/stroke.h"

using Bytes = std::vector<std::uint8_t>;

// The camera a painting is looked at with: its pose, lens and spin. The
// window's size is not part of the painting: it belongs to the screen the
// painting is opened on. The defaults are the start view the camera's
// initialisation sets (eye 1.7 in front of the canvas, looking down −z).
struct PaintingCamera {
  Vec4 eye{0.0f, 0.0f, 1.7f, 0.0f};
  Vec4 upPoint{0.0f, 1.0f, 1.7f, 0.0f};
  Vec4 sidePoint{1.0f, 0.0f, 1.7f, 0.0f};
  Vec4 target{0.0f, 0.0f, -1.0f + 1.7f, 0.0f};
  float fovy = 60.0f;
  float zNear = 0.1f;
  double zFar = 1000.0;
  int spin[3] = {0, 0, 0};  // side, up, view: units of 0.05° per idle step
};

// The parts of the painter's state that belong to the painting: what the
// next stroke is built with, how crossings pile up, what the view shows
// and from where. Every member starts at the painter's start value, which
// is also what a file that lacks it gets.
struct PaintingSettings {
  StrokeSettings stroke;
  int collideAfterStroke = 0;  // the Stroke panel's "C"
  CollisionFactors collisionFactors;
  DisplayToggles display;
  Light light = StartLight();
  PaintingCamera camera;
  unsigned int primitiveMode = kPolygonModeFill;
  // The Stroke panel's marker on its colour spectrum: x in 0..1, y in 0..4.
  float colourMarkerX = 0.086f, colourMarkerY = 2.189f;
  // The random generator's state (RandomGenerator::State), so that the
  // strokes painted after opening get the sizes and particles they would
  // have got had the painting never been closed.
  std::uint32_t randomState = 1;
};

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
