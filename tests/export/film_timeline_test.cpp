#include "export/film_timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

// Every film: as many frames as its length asks, in the order result
// first (when asked), making, light, result; the making runs from the
// empty canvas to every unit without stepping back, several units a frame
// when there are more units than frames; the light starts where the
// painting keeps it and turns once.
TEST(FilmTimeline, PhasesSpanTheFilmInOrder) {
  // Length, frames a second, units, whether the result comes first; the
  // frames of the film, of its making and of its light.
  const struct { double seconds; int fps; std::int64_t units; bool resultFirst;
                 int frames, making, light; } cases[] = {
      {20, 30, 1000, false, 600, 420, 120},  // the default film of a large painting
      {2, 10, 2, false, 20, 14, 4},          // fewer units than frames
      {2, 10, 0, true, 20, 12, 4},           // an empty painting, the result first
      {1, 10, 19999, false, 10, 7, 2},       // the stroke limit in a short film
      {0.04, 25, 3, false, 1, 1, 0},         // a film of one frame shows the painting
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seconds << " s, " << c.fps << " fps, " << c.units);
    FilmSettings settings;
    settings.seconds = c.seconds, settings.fps = c.fps, settings.resultFirst = c.resultFirst;
    const FilmTimeline timeline(settings, c.units);
    ASSERT_EQ(timeline.FrameCount(), c.frames);
    int making = 0, light = 0;
    FilmPhase phase = FilmPhase::kResultFirst;
    std::int64_t shown = 0;
    double turn = -1;
    for (int i = 0; i < c.frames; ++i) {
      SCOPED_TRACE(i);
      const FilmFrame frame = timeline.Frame(i);
      ASSERT_GE(static_cast<int>(frame.phase), static_cast<int>(phase));
      const bool makes = frame.phase == FilmPhase::kMaking;
      const bool lights = frame.phase == FilmPhase::kLight;
      // The making starts from nothing (a film of one frame: the painting)
      // and never steps back; every other phase shows every unit.
      const std::int64_t first = c.frames == 1 ? c.units : 0;
      EXPECT_EQ(frame.unitsShown,
                !makes ? c.units : making == 0 ? first : std::max(frame.unitsShown, shown));
      if (makes) shown = frame.unitsShown, ++making;
      // The light turns from 0, onward, short of a whole turn; it stays
      // at 0 outside its phase.
      const double onward = std::max(frame.lightTurn, std::nextafter(turn, 2.0));
      EXPECT_EQ(frame.lightTurn, !lights || light == 0 ? 0.0 : onward);
      EXPECT_LT(frame.lightTurn, 1.0);
      if (lights) turn = frame.lightTurn, ++light;
      phase = frame.phase;
    }
    EXPECT_EQ(std::make_tuple(shown, making, light), std::make_tuple(c.units, c.making, c.light));
  }
}

TEST(FilmTimeline, SizesAndSettingsOutsideWhatAFilmTakesAreRefused) {
  int width = 0, height = 0;
  EXPECT_TRUE(ParseFilmSize("1280x720", &width, &height));
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(1280, 720));
  for (const char* text : {"1280", "x720", "1280x", "12a0x720", "-2x4", "0x4", "1280x720x2", ""})
    EXPECT_FALSE(ParseFilmSize(text, &width, &height)) << text;
  const struct { int width, height, fps; double seconds; const char* problem; } cases[] = {
      {1920, 1080, 30, 20, ""},          {321, 240, 30, 20, "must be even"},
      {320, 241, 30, 20, "must be even"}, {9000, 240, 30, 20, "pixels a side"},
      {320, 240, 0, 20, "frames a second"}, {320, 240, 30, 0, "seconds"},
      {320, 240, 30, 4000, "seconds"},
  };
  for (const auto& c : cases) {
    FilmSettings settings;
    settings.width = c.width, settings.height = c.height, settings.fps = c.fps;
    settings.seconds = c.seconds;
    const std::string problem = CheckFilmSettings(settings);
    EXPECT_TRUE(*c.problem ? problem.find(c.problem) != std::string::npos : problem.empty())
        << problem;
  }
}
