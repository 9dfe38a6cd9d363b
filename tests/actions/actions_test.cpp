// The action layer: what an action changes where no panel shows it, the GL
// work the painter's build hooks do in the main window, and kelvra-play's
// undo and redo over the painter's own actions: each step is one action a
// person takes, and stepping back restores the strokes, the count and the
// selection the action found. (What actions tell their observers is checked
// through the painting keeper's records.) Last, the person's preferences
// file: what reads and what is refused, and when the keeper reads it,
// leaves it alone and writes it.
#include "actions/actions.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "actions/documents.h"
#include "actions/painting_history.h"
#include "actions/preferences.h"
#include "common/notice.h"
#include "tests/actions/painter_session.h"
#include "tests/support/painter.h"
#include "tests/support/scratch_dir.h"

namespace {

// A kind added without its row would take another kind's traits.
TEST(ActionTraits, EveryKindHasItsRow) {
  for (int k = 0; k < static_cast<int>(ActionKind::kCount); ++k)
    EXPECT_EQ(TraitsOf(static_cast<ActionKind>(k)).kind, static_cast<ActionKind>(k)) << k;
}

class Actions : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    history_.emplace();
  }
  void TearDown() override {
    history_.reset();
    PainterTest::TearDown();
  }

  std::optional<PaintingHistory> history_;
};

// Without a selection a resize changes nothing; Delete All leaves the
// selection number; a particle stroke gets its display list in the main
// window.
TEST_F(Actions, ResizesNeedASelectionAndParticleStrokesGetTheirList) {
  Paint(-0.8f, -0.5f, 0.2f, 0.0f);
  GrowSelectedStroke(SizeAxis::kBoth, 0.01f);
  EXPECT_FLOAT_EQ(AppState().strokeSettings.widthStart, 0.04f) << "no selection: nothing changes";
  SelectStroke(1);
  DeleteAllStrokes();
  EXPECT_EQ(AppState().interaction.selectedStroke, 1) << "Delete All leaves the selection number";
  AppState().strokeSettings.showParticles = 1;
  AppState().strokeSettings.showMesh = 0;
  Paint(-0.5f, 0.0f, 0.1f, 0.05f, 4);
  const Stroke& particles = AppState().canvas.strokes[AppState().canvas.count - 1];
  EXPECT_EQ(particles.renderType, kRenderParticles);
  EXPECT_TRUE(glIsList(particles.particles.displayList));
}

// Each action is one step, a selection none; a crossing stroke's pile-ups
// undo with it and the selection it found comes back; nothing undoes or
// redoes while a stroke is being painted.
TEST_F(Actions, EachActionIsOneStepAndPaintingBlocksBoth) {
  Paint(-0.8f, 0.0f, 0.2f, 0.0f);
  Paint(-0.8f, 0.4f, 0.2f, 0.0f);
  AppState().collisions.afterStroke = 1;
  Paint(0.0f, -0.8f, 0.0f, 0.2f);  // down across both: it piles up where it crosses
  SelectStroke(2);
  DeleteSelectedStroke();
  DeleteAllStrokes();
  EXPECT_EQ(history_->Steps().UndoSteps(), 5u) << "three commits, two deletes; no selection step";
  for (int step = 0; step < 3; ++step) ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(AppState().canvas.count, 2) << "the crossing stroke and its pile-ups go together";
  EXPECT_EQ(AppState().interaction.selectedStroke, 0) << "the selection the commit found";
  ASSERT_TRUE(history_->Redo());
  EXPECT_EQ(AppState().interaction.selectedStroke, 2)
      << "redo gives back the selection undo took away";
  AppState().interaction.painting = 1;
  EXPECT_FALSE(history_->Undo());
  EXPECT_FALSE(history_->Redo());
}

// The records the painting keeper holds for saving are those of the strokes
// as they stand: each is what encoding its stroke afresh gives.
void ExpectKeptRecordsCurrent() {
  const PaintingSnapshot snapshot = ThePaintingKeeper().Snapshot(false);
  const Canvas& canvas = AppState().canvas;
  ASSERT_EQ(snapshot.strokes.size(), static_cast<std::size_t>(canvas.count));
  for (int i = 0; i < canvas.count; ++i)
    ASSERT_EQ(snapshot.strokes[i]->bytes, EncodeStroke(canvas.strokes[i])->bytes) << "slot " << i;
}

// Over seeded sessions on a canvas painted on before the history starts,
// undoing every step gives back the canvas the first step found and redoing
// every step the final one; every action, undo and redo tells the keeper
// which strokes it changed.
TEST_F(Actions, UndoingEverythingGivesTheStartRedoingEverythingTheEnd) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    history_.reset();
    PainterTest::SetUp();
    DeleteAllStrokes();  // the keeper's records start from the empty canvas
    std::mt19937 dice(seed);
    for (int i = 0; i < 3; ++i) RandomAction(dice);
    history_.emplace();
    // Selections are no steps, and an action that changes nothing is not
    // kept: the start is the canvas just before the first kept step.
    std::optional<std::string> start;
    for (int i = 4 + dice() % 12; i > 0; --i) {
      const std::string before = CanvasPrint();
      RandomAction(dice);
      if (!start && history_->Steps().UndoSteps() > 0) start = before;
      ExpectKeptRecordsCurrent();
    }
    const std::string end = CanvasPrint();
    while (history_->Undo()) ExpectKeptRecordsCurrent();
    EXPECT_EQ(CanvasPrint(), start.value_or(CanvasPrint()));
    while (history_->Redo()) ExpectKeptRecordsCurrent();
    EXPECT_EQ(CanvasPrint(), end);
    if (HasFailure()) return;
  }
}

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
