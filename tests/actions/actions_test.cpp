// The action layer: what an action changes where no panel shows it, and the
// GL work the painter's build hooks do in the main window. (What actions
// tell their observers is checked through the painting keeper's records,
// painting_history_test.cpp.)
#include "actions/actions.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/support/painter.h"

namespace {

// A kind added without its row would take another kind's traits.
TEST(ActionTraits, EveryKindHasItsRow) {
  for (int k = 0; k < static_cast<int>(ActionKind::kCount); ++k)
    EXPECT_EQ(TraitsOf(static_cast<ActionKind>(k)).kind, static_cast<ActionKind>(k)) << k;
}

using Actions = PainterTest;

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

}  // namespace
