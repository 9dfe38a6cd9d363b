#pragma once
// The person's preferences, kept between runs of the painter: painting under
// the pointer, and a pen's response (the stroke settings' pressureMinimum and
// pressureCurve). They live in $XDG_CONFIG_HOME/kelvra/preferences.json
// (~/.config/kelvra/ when XDG_CONFIG_HOME is unset or not absolute), a small
// JSON file with a format number, written whole or not at all
// (platform/atomic_file.h), and only when a preference changes.
//
// They learn of changes from the action layer, as every observer does:
// after an action, a preference that differs from what the state held after
// the action before is the person's new choice. Opening a painting takes the
// painting's own pen response for that painting, without making it the
// person's.

#include <string>

#include "actions/actions.h"
#include "stroke/settings.h"

struct Preferences {
  int paintUnderPointer = 0;
  StrokeSettings pen;  // of which only the pen response is a preference
};

// The file's text for `preferences`.
std::string PreferencesText(const Preferences& preferences);
// Reads a file's text: "" when it reads, or what is wrong with it ("it is
// not JSON (at byte 12)", "\"pen.pressureCurve\" is 20, not 0.1 to 10").
// `preferences` changes only when the whole text reads; a field it does not
// hold keeps its value, and fields it does not know are skipped.
std::string ReadPreferences(const std::string& text, Preferences& preferences);

// $XDG_CONFIG_HOME/kelvra/preferences.json, or under ~/.config.
std::string PreferencesPath();

// Keeps the painter's preferences in the file at `path` for as long as it
// lives. Made, it reads the file into the state: a missing one leaves the
// defaults, silently; a broken one leaves them too, says on stderr which
// file and what is wrong, and stays as it is until a preference changes.
// `paintUnderPointerThisRun` (kelvra --paint-under-pointer) turns painting
// under the pointer on for this run without making it a preference.
class PreferencesKeeper : public ActionObserver {
 public:
  PreferencesKeeper(std::string path, bool paintUnderPointerThisRun);
  ~PreferencesKeeper() override;
  PreferencesKeeper(const PreferencesKeeper&) = delete;
  PreferencesKeeper& operator=(const PreferencesKeeper&) = delete;

  void ActionFinished(const ActionReport& report) override;

 private:
  void Save();

  std::string path_;
  Preferences kept_;  // what the file holds, or would once written
  Preferences seen_;  // the state's preferences after the last action
};

// The painter's keeper, over PreferencesPath(), made once.
void StartPreferences(bool paintUnderPointerThisRun);
