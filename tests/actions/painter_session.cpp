#include "tests/actions/painter_session.h"

#include "actions/actions.h"
#include "state/state.h"
#include "tests/support/console.h"
#include "tests/support/fingerprint.h"
#include "tests/support/painter.h"

std::string CanvasPrint(CanvasPart part) {
  Fingerprint f;
  f.Int(AppState().canvas.count);
  f.Int(AppState().interaction.selectedStroke);
  const bool all = part == CanvasPart::kAllSlots;
  for (int i = all ? -1 : 0; i < (all ? 64 : AppState().canvas.count); ++i)
    f.StrokeRecord(i < 0 ? AppState().canvas.current : AppState().canvas.strokes[i]);
  return Hex(f.hash);
}

void RandomAction(std::mt19937& dice) {
  const auto roll = [&dice](int sides) { return static_cast<int>(dice() % sides); };
  const auto place = [&dice] { return std::uniform_real_distribution<float>(-0.9f, 0.9f)(dice); };
  StrokeSettings& settings = AppState().strokeSettings;
  switch (roll(9)) {
    case 0:
    case 1:
    case 2:
      AppState().collisions.afterStroke = roll(3) == 0;
      settings.subdivisionLevels = roll(2), settings.showParticles = roll(2);
      settings.randomSize = roll(2);
      return PainterTest::Paint(place(), place(), 0.3f * place(), 0.3f * place(), roll(7));
    case 3:
      return DeleteSelectedStroke();
    case 4:
      if (roll(3) == 0) DeleteAllStrokes();
      return;
    case 5:
      return GrowSelectedStroke(SizeAxis::kWidth, 0.01f);
    case 6:
      settings.pathLod = 1 + roll(6);
      return UpdateSelectedStroke();
    case 7:
      return Quietly(CollideStrokes);
    default:
      SelectStroke(roll(AppState().canvas.count + 1));
  }
}
