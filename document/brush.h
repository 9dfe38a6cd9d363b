#pragma once
// Brushes: named presets of how a stroke is made. A brush holds the
// stroke-making settings (levels of detail, subdivisions, end node,
// particles or mesh, random size, colours, widths and heights, a pen's
// pressure response) and the crossing factors, names the maps it paints
// with by their file names within their folders, and carries a small PNG
// picture of the stroke it makes. A file is one JSON object
// (docs/brush-format.md); its name, less ".kelvra-brush", is the brush's
// name. No GL and no windows here: reading and writing only.

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "image/textures.h"
#include "stroke/settings.h"

using Bytes = std::vector<std::uint8_t>;

constexpr char kBrushExtension[] = ".kelvra-brush";
constexpr int kBrushFormatMajor = 1;
constexpr int kBrushFormatMinor = 0;

// Caps a brush file must keep within: a brush is settings, four names and
// a picture of a few kilobytes; anything far larger is no brush of ours.
constexpr std::uint64_t kBrushFileBytes = 1u << 20;
constexpr int kBrushPictureMostSide = 512;
constexpr std::size_t kBrushMapNameBytes = 255;  // a file name, as file systems allow

// What a brush sets: read and written through the settings lists, so a
// setting added to either list travels with brushes by itself.
struct BrushSettings {
  StrokeSettings stroke;
  CollisionFactors collisions;
};
template <typename Group, typename Visit>
std::enable_if_t<std::is_same_v<std::remove_const_t<Group>, BrushSettings>> VisitSettings(
    Group& group, Visit&& visit) {
  visit(SettingKey{"stroke", kAnyNumber}, group.stroke);
  visit(SettingKey{"collisions", kAnyNumber}, group.collisions);
}

// The maps a brush names: what its strokes are built (height) and drawn
// (mesh, detail, particle) with. The paper is the painting's, not the
// brush's.
struct BrushMapSlot {
  MapSlot slot;
  const char* key;  // in the file's "maps" object
};
constexpr BrushMapSlot kBrushMapSlots[] = {{MAP_MESH, "mesh"},
                                           {MAP_DETAIL, "detail"},
                                           {MAP_PARTICLE_BRUSH, "particle"},
                                           {MAP_HEIGHT, "height"}};
constexpr std::size_t kBrushMapCount = std::size(kBrushMapSlots);

struct Brush {
  BrushSettings settings;
  // File names within each slot's folder, in kBrushMapSlots' order; an
  // empty name leaves that map as it is when the brush is applied.
  std::string maps[kBrushMapCount];
  Bytes picture;  // PNG; empty: none
};

// "" when `name` is a file name within a folder (no path, no "..", no
// control character, not too long); else what is wrong with it.
std::string BrushMapNameProblem(const std::string& name);

// The file's bytes. False with `error` when a setting is not finite or a
// map name is no file name.
bool EncodeBrush(const Brush& brush, Bytes& file, std::string& error);
// All or nothing: false with `error` (what is wrong, without the file's
// name) and `brush` untouched when the bytes are no brush this program
// reads. A newer minor format reads, skipping what it added; a newer
// major one is refused.
bool DecodeBrush(const Bytes& file, Brush& brush, std::string& error);

// Whole or not at all; errors name the file ("cannot save PATH: reason").
bool SaveBrush(const std::string& path, const Brush& brush, std::string& error);
bool LoadBrush(const std::string& path, Brush& brush, std::string& error);
