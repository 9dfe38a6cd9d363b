#pragma once
// Groups of settings written as one list each: a row per field names its
// type, its name (also its key in files: a painting's manifest, a brush),
// its start value and the range a reader accepts and a control offers.
// From the one list come the struct itself (SETTING_MEMBER) and a visit of
// its fields in row order (SETTING_VISIT), so a field added to the list is
// declared, saved, read back, range-checked, compared and fingerprinted
// with no other line to write: only its control, if a person sets it.
//
//   #define BRUSH_SETTINGS(FIELD) FIELD(int, samples, 5, Between(1, 64)) ...
//   struct Brush { BRUSH_SETTINGS(SETTING_MEMBER) };
//   SETTINGS_VISITOR(Brush, BRUSH_SETTINGS)
//
// with one row per line, the lines joined by backslashes (stroke/settings.h
// is one such list).
//
// VisitSettings(group, visit) then calls visit(const SettingKey&, field)
// for each row, the group const or not; groups not made from a list (a
// rotation matrix, say) write their own VisitSettings the same way, so
// code over settings (the manifest, tests) takes any group alike.
//
// A start value with commas is written in parentheses (Vec4(0, 1, 0, 0)):
// braces would split the row. Comments in a list are /* */, since a //
// comment would swallow the continued line.

#include <limits>
#include <type_traits>

// The inclusive range of every number a field holds (each component of a
// vector).
struct SettingRange {
  double lowest = -static_cast<double>(std::numeric_limits<float>::max());
  double highest = static_cast<double>(std::numeric_limits<float>::max());
};

constexpr SettingRange Between(double lowest, double highest) { return {lowest, highest}; }
// Any number the field's type holds (finite, for floats).
constexpr SettingRange kAnyNumber{};
// A checkbox's int: 0 or 1.
constexpr SettingRange kFlag{0, 1};
constexpr SettingRange kAnyInt{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
constexpr SettingRange kAnyDouble{std::numeric_limits<double>::lowest(),
                                  std::numeric_limits<double>::max()};

struct SettingKey {
  const char* key;  // the field's name, as files write it
  SettingRange range;
};

#define SETTING_MEMBER(type, name, start, range) type name = start;
#define SETTING_VISIT(type, name, start, range) visit(SettingKey{#name, range}, group.name);
#define SETTINGS_VISITOR(Type, LIST)                                                \
  template <typename Group, typename Visit>                                         \
  std::enable_if_t<std::is_same_v<std::remove_const_t<Group>, Type>> VisitSettings( \
      Group& group, Visit&& visit) {                                                \
    LIST(SETTING_VISIT)                                                             \
  }

// A group may hold groups (a painting's settings hold the stroke settings):
// visit gets the inner group as its field. IsSettingsGroup tells the two
// apart; VisitSettingFields walks every field of the nested groups.
struct IgnoreSetting {
  template <typename T>
  void operator()(const SettingKey&, T&) const {}
};
template <typename T, typename = void>
struct IsSettingsGroup : std::false_type {};
template <typename T>
struct IsSettingsGroup<T, std::void_t<decltype(VisitSettings(std::declval<T&>(), IgnoreSetting()))>>
    : std::true_type {};

template <typename Group, typename Visit>
void VisitSettingFields(Group& group, Visit&& visit) {
  VisitSettings(group, [&](const SettingKey& key, auto& field) {
    if constexpr (IsSettingsGroup<std::remove_reference_t<decltype(field)>>::value)
      VisitSettingFields(field, visit);
    else
      visit(key, field);
  });
}

// The range the list of `group` gives its member at `field`, for a
// control's limits; kAnyNumber for a field not listed.
template <typename Group>
SettingRange RangeOfSetting(const Group& group, const void* field) {
  SettingRange found = kAnyNumber;
  VisitSettingFields(group, [&](const SettingKey& key, const auto& value) {
    if (static_cast<const void*>(&value) == field) found = key.range;
  });
  return found;
}
