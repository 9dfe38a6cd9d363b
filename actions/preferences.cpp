#include "actions/preferences.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <vector>

#include "common/notice.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "state/state.h"

using nlohmann::json;
using Ordered = nlohmann::ordered_json;

namespace {

constexpr int kFormat = 1;
// A preferences file is a few lines; anything much larger is not one.
constexpr std::uint64_t kLargestFile = 1 << 16;

// The stroke settings that say how a pen's pressure sizes a stroke: the
// person's, whatever they paint.
bool IsPenResponse(const SettingKey& key) {
  return std::strcmp(key.key, "pressureMinimum") == 0 || std::strcmp(key.key, "pressureCurve") == 0;
}

// The pen response's fields of `settings` with their keys and ranges.
template <typename Settings, typename Visit>
void VisitPenResponse(Settings& settings, Visit&& visit) {
  VisitSettings(settings, [&](const SettingKey& key, auto& field) {
    if constexpr (std::is_same_v<std::remove_const_t<std::remove_reference_t<decltype(field)>>,
                                 float>)
      if (IsPenResponse(key)) visit(key, field);
  });
}

// The pen response's field named `key` of `settings`.
float PenValue(const StrokeSettings& settings, const char* key) {
  float found = 0.0f;
  VisitPenResponse(settings, [&](const SettingKey& field, const float& value) {
    if (std::strcmp(field.key, key) == 0) found = value;
  });
  return found;
}

bool SamePenResponse(const StrokeSettings& a, const StrokeSettings& b) {
  bool same = true;
  VisitPenResponse(a, [&](const SettingKey& key, const float& value) {
    if (value != PenValue(b, key.key)) same = false;
  });
  return same;
}

// The fields of the pen response that differ between `before` and `after`
// take their values from `after`; the others stay.
void TakePenChanges(const StrokeSettings& before, const StrokeSettings& after, StrokeSettings& to) {
  VisitPenResponse(to, [&](const SettingKey& key, float& field) {
    const float value = PenValue(after, key.key);
    if (value != PenValue(before, key.key)) field = value;
  });
}

Preferences OfState() {
  const ApplicationState& state = AppState();
  return Preferences{state.interaction.paintUnderPointer, state.strokeSettings};
}

// A float as the shortest decimal that reads back as it ("0.3", not
// 0.30000001192092896).
double Shortest(float value) {
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, value).ptr;
  double shortest = 0.0;
  std::from_chars(text, end, shortest);
  return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::string PreferencesText(const Preferences& preferences) {
  Ordered pen = Ordered::object();
  VisitPenResponse(preferences.pen, [&](const SettingKey& key, const float& value) {
    pen[key.key] = Shortest(value);
  });
  Ordered file = Ordered::object();
  file["format"] = kFormat;
  file["paintUnderPointer"] = preferences.paintUnderPointer != 0;
  file["pen"] = pen;
  return file.dump(2) + "\n";
}

std::string ReadPreferences(const std::string& text, Preferences& preferences) {
  json file;
  try {
    file = json::parse(text);
  } catch (const json::parse_error& error) {
    return "it is not JSON (at byte " + std::to_string(error.byte) + ")";
  }
  if (!file.is_object()) return "it is not a JSON object";
  const auto format = file.find("format");
  if (format == file.end() || !format->is_number_integer() || format->get<long long>() < 1)
    return Quoted("format") + " is not a format number";
  Preferences read = preferences;
  if (const auto mode = file.find("paintUnderPointer"); mode != file.end()) {
    if (!mode->is_boolean()) return Quoted("paintUnderPointer") + " is not true or false";
    read.paintUnderPointer = mode->get<bool>() ? 1 : 0;
  }
  std::string problem;
  if (const auto pen = file.find("pen"); pen != file.end()) {
    if (!pen->is_object()) return Quoted("pen") + " is not an object";
    VisitPenResponse(read.pen, [&](const SettingKey& key, float& field) {
      const auto value = pen->find(key.key);
      if (!problem.empty() || value == pen->end()) return;
      const std::string name = Quoted(std::string("pen.") + key.key);
      if (!value->is_number()) {
        problem = name + " is not a number";
        return;
      }
      const double v = value->get<double>();
      if (!(v >= key.range.lowest && v <= key.range.highest))
        problem = name + " is " + value->dump() + ", not " + Decimal(key.range.lowest) + " to " +
                  Decimal(key.range.highest);
      else
        field = static_cast<float>(v);
    });
  }
  if (problem.empty()) preferences = read;
  return problem;
}

std::string PreferencesPath() {
  std::string home;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
    home = xdg;
  else if (const char* person = std::getenv("HOME"); person && *person)
    home = std::string(person) + "/.config";
  return home + "/kelvra/preferences.json";
}

PreferencesKeeper::PreferencesKeeper(std::string path, bool paintUnderPointerThisRun)
    : path_(std::move(path)), kept_(OfState()) {
  std::vector<std::uint8_t> bytes;
  const std::string unreadable = ReadWholeFile(path_, kLargestFile, &bytes);
  std::string problem = unreadable;
  if (unreadable.empty())
    problem = ReadPreferences(std::string(bytes.begin(), bytes.end()), kept_);
  else if (unreadable == std::strerror(ENOENT))
    problem.clear();  // a first start: the defaults, and no file until one changes
  if (!problem.empty())
    Notice("cannot read the preferences " + path_ + ": " + problem + "; the defaults are used");
  ApplicationState& state = AppState();
  state.interaction.paintUnderPointer = kept_.paintUnderPointer || paintUnderPointerThisRun;
  const StrokeSettings painted = state.strokeSettings;
  TakePenChanges(painted, kept_.pen, state.strokeSettings);
  seen_ = OfState();
  AddActionObserver(this);
}

PreferencesKeeper::~PreferencesKeeper() { RemoveActionObserver(this); }

void PreferencesKeeper::ActionFinished(const ActionReport& report) {
  const Preferences now = OfState();
  const bool modeChanged = now.paintUnderPointer != seen_.paintUnderPointer;
  const bool penChanged = !SamePenResponse(now.pen, seen_.pen);
  const Preferences before = seen_;
  seen_ = now;
  if (report.kind == ActionKind::kOpen || !(modeChanged || penChanged)) return;
  if (modeChanged) kept_.paintUnderPointer = now.paintUnderPointer;
  // Only what the person changed: a painting opened before brought the rest.
  TakePenChanges(before.pen, now.pen, kept_.pen);
  Save();
}

void PreferencesKeeper::Save() {
  const std::string text = PreferencesText(kept_);
  std::string error = MakeFoldersOf(path_);
  if (error.empty())
    WriteFileWhole(path_, std::vector<std::uint8_t>(text.begin(), text.end()), &error, "save");
  if (!error.empty()) Notice(error);
}

void StartPreferences(bool paintUnderPointerThisRun) {
  static PreferencesKeeper* keeper =  // never destroyed: observers outlive main
      new PreferencesKeeper(PreferencesPath(), paintUnderPointerThisRun);
  (void)keeper;
}
