#include "document/manifest.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>

using nlohmann::json;
// Written in the order a person reads it: the version first.
using Ordered = nlohmann::ordered_json;

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

// Deeper nesting than a manifest has is refused before parsing, so that a
// hostile file cannot make parsing or freeing the tree go deep.
constexpr int kMaxNesting = 16;
constexpr std::size_t kMaxNameBytes = 4096;  // a map's file name

// ---- Writing --------------------------------------------------------------------------

// A float as the shortest decimal that reads back as the same float
// ("0.04", not 0.03999999910593033), unless reading that decimal as a
// double and rounding to float would land elsewhere: then the float's
// exact double.
Ordered Number(float value) {
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, value).ptr;
  double shortest = 0.0;
  std::from_chars(text, end, shortest);  // as the reader will, whatever the locale
  return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

Ordered Numbers(const float* values, std::size_t count) {
  Ordered array = Ordered::array();
  for (std::size_t i = 0; i < count; ++i) array.push_back(Number(values[i]));
  return array;
}

Ordered VecJson(const Vec4& v) {
  const float values[4] = {v.x, v.y, v.z, v.w};
  return Numbers(values, 4);
}

Ordered SettingJson(int value) { return value; }
Ordered SettingJson(unsigned int value) { return value; }
Ordered SettingJson(double value) { return value; }
Ordered SettingJson(float value) { return Number(value); }
Ordered SettingJson(const Vec4& value) { return VecJson(value); }
Ordered SettingJson(const int (&values)[3]) { return {values[0], values[1], values[2]}; }
template <std::size_t N>
Ordered SettingJson(const float (&values)[N]) {
  return Numbers(values, N);
}

// A group of settings as an object of its fields (common/settings_list.h),
// the groups it holds as objects within it.
template <typename Group>
Ordered GroupJson(const Group& group) {
  Ordered object = Ordered::object();
  VisitSettings(group, [&](const SettingKey& key, const auto& field) {
    if constexpr (IsSettingsGroup<std::remove_reference_t<decltype(field)>>::value)
      object[key.key] = GroupJson(field);
    else
      object[key.key] = SettingJson(field);
  });
  return object;
}

// True when every number in the tree is finite (the tree holds no NaN of
// ours only if the settings held none).
bool AllFinite(const Ordered& value) {
  if (value.is_number_float()) return std::isfinite(value.get<double>());
  if (value.is_structured())
    for (const Ordered& item : value)
      if (!AllFinite(item)) return false;
  return true;
}

// ---- Reading --------------------------------------------------------------------------

bool NestingWithin(const Bytes& text, int most) {
  int depth = 0;
  bool inString = false, escaped = false;
  for (const std::uint8_t c : text) {
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      if (++depth > most) return false;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return true;
}

// One object of the manifest: fields are read by name with their kind and
// range checked; a missing field leaves the value as it was (its default),
// fields not asked for are skipped. The first problem is kept, named by
// the field's path.
class Fields {
 public:
  Fields(const json* object, std::string path, std::string& error)
      : object_(object), path_(std::move(path)), error_(error) {}

  Fields Object(const char* key) {
    const json* value = Find(key);
    if (value && !value->is_object()) {
      Fail(key, "is not an object");
      value = nullptr;
    }
    return Fields(value, path_ + key + ".", error_);
  }

  template <typename Whole>
  void Int(const char* key, Whole& out, long long lowest, long long highest) {
    const json* value = Find(key);
    if (!value) return;
    if (!value->is_number_integer()) return Fail(key, "is not a whole number");
    const long long v = value->is_number_unsigned()
                            ? static_cast<long long>(std::min<std::uint64_t>(
                                  value->get<std::uint64_t>(), std::uint64_t(1) << 62))
                            : value->get<long long>();
    if (v < lowest || v > highest)
      return Fail(key, "is " + std::to_string(v) + ", not " + std::to_string(lowest) + " to " +
                           std::to_string(highest));
    out = static_cast<Whole>(v);
  }
  void Unsigned(const char* key, std::uint64_t& out, std::uint64_t highest) {
    const json* value = Find(key);
    if (!value) return;
    if (!value->is_number_unsigned()) return Fail(key, "is not a whole number from 0");
    const std::uint64_t v = value->get<std::uint64_t>();
    if (v > highest)
      return Fail(key, "is " + std::to_string(v) + ", more than " + std::to_string(highest));
    out = v;
  }

  // A setting of its list's kind, within its list's range.
  template <typename Whole>
  std::enable_if_t<std::is_integral_v<Whole>> Setting(const SettingKey& key, Whole& out) {
    Int(key.key, out, static_cast<long long>(key.range.lowest),
        static_cast<long long>(key.range.highest));
  }
  void Setting(const SettingKey& key, float& out) { Numbers(key, &out, 1); }
  void Setting(const SettingKey& key, double& out) {
    const json* value = Find(key.key);
    double v = out;
    if (value && ReadDouble(*value, key.key, v) && InRange(key, v)) out = v;
  }
  void Setting(const SettingKey& key, Vec4& out) {
    float v[4] = {out.x, out.y, out.z, out.w};
    Numbers(key, v, 4);
    out = Vec4(v[0], v[1], v[2], v[3]);
  }
  template <std::size_t N>
  void Setting(const SettingKey& key, float (&out)[N]) {
    Numbers(key, out, N);
  }
  void Setting(const SettingKey& key, int (&out)[3]) {
    const json* value = Find(key.key);
    if (!value) return;
    if (!value->is_array() || value->size() != 3) return Fail(key.key, "is not 3 numbers");
    int read[3];
    for (std::size_t i = 0; i < 3; ++i) {
      const json& item = (*value)[i];
      if (!item.is_number_integer() || item.get<long long>() < key.range.lowest ||
          item.get<long long>() > key.range.highest)
        return Fail(key.key, "is not 3 whole numbers");
      read[i] = static_cast<int>(item.get<long long>());
    }
    std::copy(read, read + 3, out);
  }

  void String(const char* key, std::string& out, std::size_t most) {
    const json* value = Find(key);
    if (!value) return;
    if (!value->is_string()) return Fail(key, "is not text");
    const std::string& text = value->get_ref<const std::string&>();
    if (text.size() > most || text.find('\0') != std::string::npos)
      return Fail(key, "is longer than " + std::to_string(most) + " bytes or holds a zero byte");
    out = text;
  }
  // An entry the manifest names: absent, or the one name format 1 gives
  // it (a file that names another is not one this reader understands).
  // True when it is there.
  bool Entry(const char* key, const std::string& fixed) {
    const json* value = Find(key);
    if (!value) return false;
    if (!value->is_string() || value->get_ref<const std::string&>() != fixed)
      Fail(key, "is not \"" + fixed + "\"");
    return true;
  }
  bool Has(const char* key) const { return Find(key) != nullptr; }
  const json* Find(const char* key) const {
    if (!object_) return nullptr;
    const auto it = object_->find(key);
    return it == object_->end() ? nullptr : &*it;
  }
  void Fail(const char* key, const std::string& what) {
    if (error_.empty()) error_ = "manifest: \"" + path_ + key + "\" " + what;
  }

 private:
  bool InRange(const SettingKey& key, double v) {
    if (v >= key.range.lowest && v <= key.range.highest) return true;
    if (key.range.lowest == kAnyNumber.lowest && key.range.highest == kAnyNumber.highest)
      Fail(key.key, "is too large for a float");
    else
      Fail(key.key, "is " + std::to_string(v) + ", not " + std::to_string(key.range.lowest) +
                        " to " + std::to_string(key.range.highest));
    return false;
  }
  // `count` numbers (a list of them unless one) within the key's range.
  void Numbers(const SettingKey& key, float* out, std::size_t count) {
    const json* value = Find(key.key);
    if (!value) return;
    if (count == 1) {
      double v = out[0];
      if (ReadDouble(*value, key.key, v) && InRange(key, v)) out[0] = static_cast<float>(v);
      return;
    }
    if (!value->is_array() || value->size() != count)
      return Fail(key.key, "is not a list of " + std::to_string(count) + " numbers");
    float read[16];  // the longest list: a rotation matrix
    if (count > std::size(read)) return Fail(key.key, "is a list longer than a reader takes");
    for (std::size_t i = 0; i < count; ++i) {
      double v = 0.0;
      if (!ReadDouble((*value)[i], key.key, v)) return;
      if (!InRange(key, v)) return;
      read[i] = static_cast<float>(v);
    }
    std::copy(read, read + count, out);
  }

  bool ReadDouble(const json& value, const char* key, double& out) {
    if (!value.is_number()) {
      Fail(key, "is not a number");
      return false;
    }
    const double v = value.get<double>();
    if (!std::isfinite(v)) {
      Fail(key, "is not a finite number");
      return false;
    }
    out = v;
    return true;
  }

  const json* object_;
  std::string path_;
  std::string& error_;
};

// Reads a group's fields by their keys and ranges (common/settings_list.h);
// the groups it holds are objects within its object.
template <typename Group>
void ReadGroup(Fields fields, Group& group) {
  VisitSettings(group, [&](const SettingKey& key, auto& field) {
    using Field = std::remove_reference_t<decltype(field)>;
    if constexpr (IsSettingsGroup<Field>::value)
      ReadGroup(fields.Object(key.key), field);
    else
      fields.Setting(key, field);
  });
}

void ReadSettings(Fields fields, PaintingSettings& s) {
  ReadGroup(fields, s);
  const unsigned int mode = s.primitiveMode;
  if (mode != 0 && mode != kPolygonModeLine && mode != kPolygonModeFill)
    fields.Fail("primitiveMode", "is none of points (0), lines or fill");
}

void ReadMaps(Fields& fields, std::string& error, std::vector<EmbeddedMap>& maps) {
  const json* list = fields.Find("maps");
  if (!list) return;
  if (!list->is_array() || list->size() > std::size(kSlotNames))
    return fields.Fail(
        "maps", "is not a list of at most " + std::to_string(std::size(kSlotNames)) + " maps");
  for (std::size_t i = 0; i < list->size(); ++i) {
    const json& item = (*list)[i];
    if (!item.is_object()) return fields.Fail("maps", "holds an entry that is not an object");
    Fields map(&item, "maps[" + std::to_string(i) + "].", error);
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
  Ordered maps = Ordered::array();
  for (const EmbeddedMap& map : manifest.maps)
    maps.push_back({{"slot", SlotNameOf(map.slot)},
                    {"name", map.fileName},
                    {"entry", MapEntryName(map.slot)}});
  Ordered root = {{"format", {{"major", manifest.formatMajor}, {"minor", manifest.formatMinor}}},
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
  text = root.dump(1, ' ', false, Ordered::error_handler_t::replace);
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
  Fields fields(&root, "", error);
  if (!fields.Has("format")) {
    error = "manifest names no format version";
    return false;
  }
  Fields format = fields.Object("format");
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
