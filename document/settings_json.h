#pragma once
// Groups of settings (common/settings_list.h) as JSON objects, written and
// read by their lists: a painting's manifest and a brush share them, so a
// field added to a list reaches both files with no other line.
//
// Reading takes a missing field for the value it already holds (its
// default), skips fields it does not know (a newer minor format's), and
// refuses a field of the wrong kind or out of its row's range, keeping the
// first problem, named by the field's path ("settings.stroke.pathLod").

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>
#include <vector>

#include "common/settings_list.h"
#include "common/vec4.h"

// Written in the order a person reads it.
using OrderedJson = nlohmann::ordered_json;

// ---- Writing --------------------------------------------------------------------------

// A float as the shortest decimal that reads back as the same float
// ("0.04", not 0.03999999910593033).
OrderedJson JsonNumber(float value);
OrderedJson JsonNumbers(const float* values, std::size_t count);

inline OrderedJson SettingJson(int value) { return value; }
inline OrderedJson SettingJson(unsigned int value) { return value; }
inline OrderedJson SettingJson(double value) { return value; }
inline OrderedJson SettingJson(float value) { return JsonNumber(value); }
inline OrderedJson SettingJson(const Vec4& v) {
  const float values[4] = {v.x, v.y, v.z, v.w};
  return JsonNumbers(values, 4);
}
inline OrderedJson SettingJson(const int (&values)[3]) { return {values[0], values[1], values[2]}; }
template <std::size_t N>
OrderedJson SettingJson(const float (&values)[N]) {
  return JsonNumbers(values, N);
}

// A group as an object of its fields, the groups it holds as objects
// within it.
template <typename Group>
OrderedJson GroupJson(const Group& group) {
  OrderedJson object = OrderedJson::object();
  VisitSettings(group, [&](const SettingKey& key, const auto& field) {
    if constexpr (IsSettingsGroup<std::remove_reference_t<decltype(field)>>::value)
      object[key.key] = GroupJson(field);
    else
      object[key.key] = SettingJson(field);
  });
  return object;
}

// True when every number in the tree is finite: a NaN or an infinity
// written would not read back.
bool AllFinite(const OrderedJson& value);

// ---- Reading --------------------------------------------------------------------------

// Whether `text` nests objects and lists no deeper than `most`: deeper
// files are refused before parsing, so that a hostile file cannot make
// parsing or freeing the tree go deep.
bool NestingWithin(const std::vector<std::uint8_t>& text, int most);

// One object of a file: fields read by name with their kind and range
// checked. `file`, unless empty, starts every message ("manifest: \"a.b\"
// is not ...").
class JsonFields {
 public:
  using Json = nlohmann::json;
  JsonFields(const Json* object, std::string path, std::string& error, std::string file)
      : object_(object), path_(std::move(path)), error_(error), file_(std::move(file)) {}

  JsonFields Object(const char* key);

  template <typename Whole>
  void Int(const char* key, Whole& out, long long lowest, long long highest) {
    long long v = 0;
    if (ReadInt(key, v, lowest, highest)) out = static_cast<Whole>(v);
  }
  void Unsigned(const char* key, std::uint64_t& out, std::uint64_t highest);

  // A setting of its list's kind, within its list's range.
  template <typename Whole>
  std::enable_if_t<std::is_integral_v<Whole>> Setting(const SettingKey& key, Whole& out) {
    Int(key.key, out, static_cast<long long>(key.range.lowest),
        static_cast<long long>(key.range.highest));
  }
  void Setting(const SettingKey& key, float& out) { Numbers(key, &out, 1); }
  void Setting(const SettingKey& key, double& out);
  void Setting(const SettingKey& key, Vec4& out);
  template <std::size_t N>
  void Setting(const SettingKey& key, float (&out)[N]) {
    Numbers(key, out, N);
  }
  void Setting(const SettingKey& key, int (&out)[3]);

  // Text of at most `most` bytes without a zero byte.
  void String(const char* key, std::string& out, std::size_t most);
  // An entry name the file gives: absent, or exactly `fixed`. True when
  // it is there.
  bool Entry(const char* key, const std::string& fixed);
  bool Has(const char* key) const { return Find(key) != nullptr; }
  const Json* Find(const char* key) const;
  // Keeps the first problem.
  void Fail(const char* key, const std::string& what);

 private:
  bool ReadInt(const char* key, long long& out, long long lowest, long long highest);
  bool InRange(const SettingKey& key, double v);
  void Numbers(const SettingKey& key, float* out, std::size_t count);
  bool ReadDouble(const Json& value, const char* key, double& out);

  const Json* object_;
  std::string path_;
  std::string& error_;
  std::string file_;
};

// Reads a group's fields by their keys and ranges; the groups it holds
// are objects within its object.
template <typename Group>
void ReadGroup(JsonFields fields, Group& group) {
  VisitSettings(group, [&](const SettingKey& key, auto& field) {
    using Field = std::remove_reference_t<decltype(field)>;
    if constexpr (IsSettingsGroup<Field>::value)
      ReadGroup(fields.Object(key.key), field);
    else
      fields.Setting(key, field);
  });
}
