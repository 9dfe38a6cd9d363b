// The person's preferences file: what reads and what is refused, and when
// the keeper reads it, leaves it alone and writes it.
#include "actions/preferences.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "common/notice.h"
#include "state/state.h"
#include "tests/support/scratch_dir.h"

namespace {

// A file that does not read changes nothing; what reads is written back
// as it was read.
TEST(Preferences, FilesReadWholeOrNotAtAll) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"format": 1, "paintUnderPointer": true, "pen": {"pressureCurve": 2}})", ""},
      {R"({"format": 2, "paintUnderPointer": true, "later": [1]})", ""},
      {"paintUnderPointer = on", "it is not JSON (at byte 1)"},
      {"[1]", "it is not a JSON object"},
      {R"({"paintUnderPointer": true})", R"("format" is not a format number)"},
      {R"({"format": 1, "paintUnderPointer": 1})", R"("paintUnderPointer" is not true or false)"},
      {R"({"format": 1, "paintUnderPointer": true, "pen": {"pressureCurve": 20}})",
       R"("pen.pressureCurve" is 20, not 0.1 to 10)"},
      {R"({"format": 1, "pen": {"pressureMinimum": "light"}})",
       R"("pen.pressureMinimum" is not a number)"},
  };
  for (const auto& [text, problem] : cases) {
    SCOPED_TRACE(text);
    Preferences read;
    EXPECT_EQ(ReadPreferences(text, read), problem);
    EXPECT_EQ(read.paintUnderPointer, *problem ? 0 : 1);
    EXPECT_EQ(read.pen.pressureCurve, text == cases[0].first ? 2.0f : 1.0f);
    EXPECT_EQ(read.pen.pressureMinimum, 0.25f);
    Preferences again;
    ASSERT_EQ(ReadPreferences(PreferencesText(read), again), "") << PreferencesText(read);
    EXPECT_EQ(PreferencesText(again), PreferencesText(read));
  }
}

std::string Contents(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A missing file is the defaults, silently, until a preference changes; a
// broken one is the defaults with one notice, left as it is until then;
// the pen response a painting brings is not the person's.
TEST(Preferences, TheKeeperWritesTheFileOnlyWhenAPreferenceChanges) {
  ScratchDir scratch;
  const std::string path = scratch.File("kelvra/preferences.json");
  ResetApplicationStateForTesting();
  {
    CaughtNotices notices;
    PreferencesKeeper keeper(path, false);
    SettingChanged();
    EXPECT_TRUE(notices.Lines().empty());
    EXPECT_FALSE(std::filesystem::exists(path));
    SetPaintUnderPointer(true);
    Preferences saved;
    EXPECT_EQ(ReadPreferences(Contents(path), saved), "");
    EXPECT_EQ(saved.paintUnderPointer, 1);
  }
  const std::string broken = R"({"format": 1, "pen": {"pressureCurve": 0}})";
  std::ofstream(path) << broken;
  ResetApplicationStateForTesting();
  CaughtNotices notices;
  PreferencesKeeper keeper(path, true);
  EXPECT_EQ(notices.Lines(),
            std::vector<std::string>{"cannot read the preferences " + path +
                                     ": \"pen.pressureCurve\" is 0, not 0.1 to 10; the "
                                     "defaults are used"});
  EXPECT_EQ(AppState().interaction.paintUnderPointer, 1) << "--paint-under-pointer";
  EXPECT_EQ(AppState().strokeSettings.pressureCurve, 1.0f);
  {
    ActionScope open(ActionKind::kOpen);
    AppState().strokeSettings.pressureCurve = 3.0f;
  }
  EXPECT_EQ(Contents(path), broken);
  AppState().strokeSettings.pressureMinimum = 0.5f;
  SettingChanged();
  Preferences saved;
  EXPECT_EQ(ReadPreferences(Contents(path), saved), "");
  EXPECT_EQ(saved.paintUnderPointer, 0) << "a run's mode is not kept";
  EXPECT_EQ(saved.pen.pressureMinimum, 0.5f);
  EXPECT_EQ(saved.pen.pressureCurve, 1.0f) << "the painting's curve is not the person's";
}

}  // namespace
