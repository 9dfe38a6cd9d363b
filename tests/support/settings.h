#pragma once
// Settings groups walked through their lists (common/settings_list.h), so
// that a test compares, changes or covers every field without naming one.

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/settings_list.h"
#include "common/vec4.h"

namespace settings_test {

inline std::string BytesOf(const Vec4& v) {
  const float parts[4] = {v.x, v.y, v.z, v.w};  // not the cached length
  return std::string(reinterpret_cast<const char*>(parts), sizeof parts);
}
template <typename T>
std::string BytesOf(const T& value) {
  return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Whole numbers to the other end of their range, numbers to ones that need
// all their digits to come back.
template <typename T>
void Move(T& v, const SettingRange& r) {
  if constexpr (std::is_integral_v<T>)
    v = v == static_cast<T>(r.highest) ? static_cast<T>(r.lowest) : static_cast<T>(r.highest);
  else
    v = v / 3 + T(1) / 7;
}
inline void Move(Vec4& v, const SettingRange& r) {
  for (float* part : {&v.x, &v.y, &v.z, &v.w}) Move(*part, r);
}
template <typename T, std::size_t N>
void Move(T (&values)[N], const SettingRange& r) {
  for (T& v : values) Move(v, r);
}

}  // namespace settings_test

// Every field of `group` with its key, as the bytes of its value.
template <typename Group>
std::vector<std::pair<std::string, std::string>> SettingValues(const Group& group) {
  std::vector<std::pair<std::string, std::string>> values;
  VisitSettingFields(group, [&](const SettingKey& key, const auto& field) {
    values.emplace_back(key.key, settings_test::BytesOf(field));
  });
  return values;
}

// Every field of `group` moved away from the value it holds, within its
// range.
template <typename Group>
void MoveEverySetting(Group& group) {
  VisitSettingFields(
      group, [](const SettingKey& key, auto& field) { settings_test::Move(field, key.range); });
}

// The byte offsets and sizes of the fields a group's list visits.
template <typename Group>
std::vector<std::pair<std::size_t, std::size_t>> VisitedSettingBytes(Group& group) {
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  const auto* base = reinterpret_cast<const unsigned char*>(&group);
  VisitSettingFields(group, [&](const SettingKey&, auto& field) {
    const auto* at = reinterpret_cast<const unsigned char*>(&field);
    ranges.emplace_back(static_cast<std::size_t>(at - base), sizeof field);
  });
  return ranges;
}
