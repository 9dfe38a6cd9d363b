// The action layer: what each action changes, what it tells its observers,
// and the GL work the painter's build hooks do in the main window.
#include "actions/actions.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/painter.h"

namespace {

// Everything an observer hears, as one line per notice.
struct Journal : ActionObserver {
  std::vector<std::string> notices;
  ActionReport last;
  void ActionStarting(ActionKind) override { notices.push_back("start"); }
  void StrokeChanging(int slot) override { notices.push_back("stroke " + std::to_string(slot)); }
  void AllStrokesChanging() override { notices.push_back("all"); }
  void CurrentStrokeChanging() override { notices.push_back("current"); }
  void ActionFinished(const ActionReport& report) override {
    notices.push_back("end");
    last = report;
  }
};

class Actions : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    AddActionObserver(&journal_);
  }
  void TearDown() override {
    RemoveActionObserver(&journal_);
    PainterTest::TearDown();
  }

  // A stroke painted and committed; the journal holds what the commit told.
  void Paint(float x0, float y0, float dx, float dy, int nodes = 8) {
    AddPoints(x0, y0, dx, dy, nodes);
    journal_.notices.clear();
    Quietly(CommitPaintedStroke);
  }

  Journal journal_;
};

// A kind added without its row would take another kind's traits.
TEST(ActionTraits, EveryKindHasItsRow) {
  for (int k = 0; k < static_cast<int>(ActionKind::kCount); ++k)
    EXPECT_EQ(TraitsOf(static_cast<ActionKind>(k)).kind, static_cast<ActionKind>(k)) << k;
}

TEST_F(Actions, CommitTellsTheNewSlotAndEveryStrokeItPiledUpOn) {
  Paint(-0.8f, 0.0f, 0.2f, 0.0f);  // across
  Paint(0.5f, 0.5f, 0.0f, 0.1f);   // beside, crosses nothing
  EXPECT_EQ(journal_.notices, (std::vector<std::string>{"start", "stroke 1", "end"}));
  AppState().collisions.afterStroke = 1;
  Paint(0.0f, -0.8f, 0.0f, 0.2f);  // down through the first: only it piles up
  EXPECT_EQ(journal_.notices, (std::vector<std::string>{"start", "stroke 2", "end"}));
  EXPECT_EQ(journal_.last.kind, ActionKind::kCommit);
  EXPECT_EQ(journal_.last.strokes, (std::vector<int>{2}));
  EXPECT_EQ(journal_.last.revision, ActionRevision());
  EXPECT_GE(ActionRevision(), 8u + 1) << "one revision per node, then the commit";
  const std::vector<StrokeNode>& path = AppState().canvas.strokes[2].path;
  EXPECT_TRUE(std::any_of(path.begin(), path.end(), [](const StrokeNode& n) { return n.locked; }))
      << "the later stroke is the one that piles up";
}

// What a resize and the deletes tell (what they change is checked through
// the panels' buttons); without a selection a resize changes nothing.
TEST_F(Actions, RebuildsActOnTheSelectionOnlyAndDeletesTellWhatGoes) {
  Paint(-0.8f, -0.5f, 0.2f, 0.0f);
  Paint(-0.8f, 0.5f, 0.2f, 0.0f);
  GrowSelectedStroke(SizeAxis::kBoth, 0.01f);
  EXPECT_FLOAT_EQ(AppState().strokeSettings.widthStart, 0.04f) << "no selection: nothing changes";
  SelectStroke(2);
  const std::vector<std::string> selected = {"start", "stroke 1", "end"};
  for (void (*action)() :
       {+[] { GrowSelectedStroke(SizeAxis::kWidth, 0.01f); }, +[] { DeleteSelectedStroke(); }}) {
    journal_.notices.clear();
    action();
    EXPECT_EQ(journal_.notices, selected);
  }
  journal_.notices.clear();
  DeleteAllStrokes();
  EXPECT_EQ(journal_.notices, (std::vector<std::string>{"start", "current", "all", "end"}));
  EXPECT_EQ(AppState().interaction.selectedStroke, 2) << "Delete All leaves the selection number";
}

TEST_F(Actions, ParticleStrokesGetAListInTheMainWindowAndKeepTheirParticles) {
  AppState().strokeSettings.showParticles = 1;
  AppState().strokeSettings.showMesh = 0;
  Paint(-0.5f, 0.0f, 0.1f, 0.05f, 4);
  const Stroke& stroke = AppState().canvas.strokes[0];
  EXPECT_EQ(stroke.renderType, kRenderParticles);
  EXPECT_TRUE(glIsList(stroke.particles.displayList));
  EXPECT_EQ(stroke.particles.positions.size(), 50u) << "5 particles for each of 10 path points";
}

}  // namespace
