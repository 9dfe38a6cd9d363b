#include "document/manifest.h"

#include <iterator>
#include <limits>

#include "document/settings_json.h"

using nlohmann::json;

namespace {

struct SlotName {
  MapSlot slot;
  const char* name;
};
constexpr SlotName kSlotNames[] = {{MAP_MESH, "mesh"},
                                   {MAP_PARTICLE_BRUSH, "particleBrush"},
                                   {MAP_PARTICLE_HALO, "particleHalo"},
                                   {MAP_HEIGHT, "height"},
                                   {MAP_DETAIL, "detail"},
                                   {MAP_PAPER, "paper"},
                                   {MAP_SOURCE, "source"}};

const char* SlotNameOf(MapSlot slot) {
  for (const SlotName& s : kSlotNames)
    if (s.slot == slot) return s.name;
  return nullptr;
}

// Deeper nesting than a manifest has is refused before parsing.
constexpr int kMaxNesting = 16;
constexpr std::size_t kMaxNameBytes = 4096;  // a map's file name

void ReadSettings(JsonFields fields, PaintingSettings& s) {
  ReadGroup(fields, s);
  const unsigned int mode = s.primitiveMode;
  if (mode != 0 && mode != kPolygonModeLine && mode != kPolygonModeFill)
    fields.Fail("primitiveMode", "is none of points (0), lines or fill");
}

void ReadMaps(JsonFields& fields, std::string& error, std::vector<EmbeddedMap>& maps) {
  const json* list = fields.Find("maps");
  if (!list) return;
  if (!list->is_array() || list->size() > std::size(kSlotNames))
    return fields.Fail(
        "maps", "is not a list of at most " + std::to_string(std::size(kSlotNames)) + " maps");
  for (std::size_t i = 0; i < list->size(); ++i) {
    const json& item = (*list)[i];
    if (!item.is_object()) return fields.Fail("maps", "holds an entry that is not an object");
    JsonFields map(&item, "maps[" + std::to_string(i) + "].", error, "manifest");
    std::string slotName, fileName;
    map.String("slot", slotName, 64);
    map.String("name", fileName, kMaxNameBytes);
    if (!error.empty()) return;
    const SlotName* slot = nullptr;
    for (const SlotName& s : kSlotNames)
      if (slotName == s.name) slot = &s;
    if (!slot) return map.Fail("slot", "names no slot a painting embeds");
    for (const EmbeddedMap& earlier : maps)
      if (earlier.slot == slot->slot) return map.Fail("slot", "names a slot named before");
    map.Entry("entry", MapEntryName(slot->slot));
    maps.push_back({slot->slot, fileName, {}});
  }
}

}  // namespace

std::string MapEntryName(MapSlot slot) {
  const char* name = SlotNameOf(slot);
  return std::string("maps/") + (name ? name : "unknown") + ".bmp";
}

bool WriteManifest(const Manifest& manifest, std::string& text, std::string& error) {
  OrderedJson maps = OrderedJson::array();
  for (const EmbeddedMap& map : manifest.maps)
    maps.push_back({{"slot", SlotNameOf(map.slot)},
                    {"name", map.fileName},
                    {"entry", MapEntryName(map.slot)}});
  OrderedJson root = {{"format", {{"major", manifest.formatMajor}, {"minor", manifest.formatMinor}}},
                  {"writer", manifest.writer},
                  {"strokeCount", manifest.strokeCount},
                  {"selectedStroke", manifest.selectedStroke},
                  {"settings", GroupJson(manifest.settings)},
                  {"strokes", kStrokesEntry},
                  {"maps", maps}};
  if (manifest.filteredPicture) root["filteredPicture"] = kFilteredEntry;
  if (manifest.thumbnail) root["thumbnail"] = kThumbnailEntry;
  if (!AllFinite(root)) {
    error = "a setting is not a finite number";
    return false;
  }
  // Names come from the program's own map table; bytes that are not UTF-8
  // are written as replacement characters rather than failing the save.
  text = root.dump(1, ' ', false, OrderedJson::error_handler_t::replace);
  return true;
}

bool ReadManifest(const Bytes& text, Manifest& manifest, std::string& error) {
  if (!NestingWithin(text, kMaxNesting)) {
    error = "manifest nests deeper than " + std::to_string(kMaxNesting) + " levels";
    return false;
  }
  const json root = json::parse(text.begin(), text.end(), nullptr, false);
  if (root.is_discarded() || !root.is_object()) {
    error = "manifest is not a JSON object";
    return false;
  }
  JsonFields fields(&root, "", error, "manifest");
  if (!fields.Has("format")) {
    error = "manifest names no format version";
    return false;
  }
  JsonFields format = fields.Object("format");
  manifest.formatMajor = -1;
  format.Int("major", manifest.formatMajor, 0, std::numeric_limits<int>::max());
  format.Int("minor", manifest.formatMinor, 0, std::numeric_limits<int>::max());
  fields.String("writer", manifest.writer, 256);
  // Messages quote the writer, each on one line.
  for (char& c : manifest.writer)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  if (manifest.writer.empty()) manifest.writer = "a newer Kelvra";
  if (!error.empty()) return false;
  if (manifest.formatMajor != kFormatMajor) {
    const std::string version =
        std::to_string(manifest.formatMajor) + "." + std::to_string(manifest.formatMinor);
    error = manifest.formatMajor > kFormatMajor
                ? "written by " + manifest.writer + " in format " + version +
                      "; this Kelvra reads format " + std::to_string(kFormatMajor) + " only"
                : "format " + version + ", which no Kelvra wrote";
    return false;
  }
  fields.Unsigned("strokeCount", manifest.strokeCount, kStrokeCountLimit);
  fields.Int("selectedStroke", manifest.selectedStroke, 0, kStrokeCountLimit);
  ReadSettings(fields.Object("settings"), manifest.settings);
  ReadMaps(fields, error, manifest.maps);
  fields.Entry("strokes", kStrokesEntry);
  manifest.filteredPicture = fields.Entry("filteredPicture", kFilteredEntry);
  manifest.thumbnail = fields.Entry("thumbnail", kThumbnailEntry);
  return error.empty();
}
