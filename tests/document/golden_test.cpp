// Files of formats 1.0 and 1.1, committed in tests/document/golden/, open
// to the paintings this test builds by code: whatever the reader becomes,
// the files written before must still open to the same strokes. The 1.0
// files hold strokes painted without a pen, built today as they were then:
// every float of their records and meshes equal to the build's.
//
// Each file was written once, when its format was current, by SavePainting
// of the painting below; a new one is written the same way. Never write one
// again to make a failing file pass.
#include <gtest/gtest.h>

#include "document/document.h"
#include "stroke/build.h"
#include "tests/document/paintings.h"
#include "tests/support/console.h"
#include "tests/support/height_map.h"

namespace {

// Every kind of stroke the painter makes: meshes at 0, 1 and 2 levels,
// particles, random sizes, a pile-up, a resize, an update, a deleted
// stroke and one too short to build; settings away from their defaults.
Painting EveryKindOfStroke() {
  PaintingSession s;
  s.settings.startColour = s.settings.endColour = Vec4(0.8f, 0.3f, 0.2f, 0.0f);
  s.Paint(-0.7f, 0.6f, 0.25f, -0.02f, 6);
  s.settings.subdivisionLevels = 1;
  s.settings.endColour = Vec4(0.1f, 0.2f, 0.9f, 0.0f);
  s.Paint(-0.7f, 0.2f, 0.2f, 0.03f, 5);
  s.settings.subdivisionLevels = 2;
  s.settings.shapeLod = 3;
  s.Paint(0.5f, 0.7f, -0.1f, -0.3f, 4, true);
  s.settings = StrokeSettings();
  s.settings.showParticles = 1;
  s.settings.showMesh = 0;
  s.settings.randomSize = 1;
  s.Paint(-0.6f, -0.4f, 0.3f, 0.05f, 5);
  s.settings = StrokeSettings();
  s.settings.pathLod = 3;
  s.factors.heightStart = 2.0f;
  s.Paint(0.0f, -0.8f, 0.02f, 0.3f, 6, true);
  s.Paint(0.7f, -0.7f, 0.01f, 0.1f, 4);
  s.canvas->DeleteStroke(5);
  s.settings.widthStart = 0.08f;
  ResizeStroke(s.canvas->strokes[0], s.settings, s.random);
  s.settings.pathLod = 7;
  Quietly([&] {
    UpdateStroke(s.canvas->strokes[1], BuildContext{s.settings, s.random, HeadlessBuildHooks()});
  });
  s.Paint(0.8f, 0.8f, 0.05f, 0.0f, 2);
  s.selected = 3;
  Painting painting = PaintingOf(s);
  painting.settings.collisions.afterStroke = 1;
  painting.settings.display.axesOn = 1;
  painting.settings.camera.pose.eye = Vec4(0.2f, 0.1f, 1.9f, 0.0f);
  painting.settings.camera.spin[1] = 2;
  painting.settings.primitiveMode = kPolygonModeLine;
  painting.settings.colourMarker.x = 0.5f;
  return painting;
}

// Strokes of a pen pressing harder and harder, as meshes, subdivided and
// as particles, piled up on each other and resized.
Painting PenStrokes() {
  PaintingSession s;
  s.Paint(-0.7f, 0.5f, 0.2f, -0.05f, 7, false, 0.0f);
  s.settings.subdivisionLevels = 1;
  s.settings.pressureMinimum = 0.1f;
  s.settings.pressureCurve = 2.0f;
  s.Paint(-0.6f, -0.5f, 0.05f, 0.2f, 6, true, 0.4f);
  s.settings = StrokeSettings();
  s.settings.showParticles = 1;
  s.settings.showMesh = 0;
  s.Paint(0.2f, -0.6f, 0.1f, 0.2f, 5, false, 0.2f);
  s.settings.widthStart = 0.06f;
  ResizeStroke(s.canvas->strokes[0], s.settings, s.random);
  return PaintingOf(s);
}

TEST(GoldenFiles, OpenToThePaintingsBuiltByCode) {
  const std::pair<const char*, Painting (*)()> goldens[] = {
      {"every-kind-1.0.kelvra", EveryKindOfStroke},
      {"empty-1.0.kelvra", [] { return Painting(); }},
      {"pen-1.1.kelvra", PenStrokes}};
  for (const auto& [file, make] : goldens) {
    SCOPED_TRACE(file);
    const OpenedPainting opened = OpenPainting(std::string(KELVRA_GOLDEN_DIR) + "/" + file);
    ASSERT_TRUE(opened.Ok()) << opened.error;
    EXPECT_EQ(opened.note, "");
    ExpectSamePainting(make(), opened.painting);
  }
}

}  // namespace
