#include "export/film_timeline.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// Shares of the film: the light's sweep takes a fifth, each hold of the
// finished painting a tenth (enough to see it, short enough not to bore);
// the making takes the rest.
constexpr double kLightShare = 0.2;
constexpr double kHoldShare = 0.1;

// Limits that keep a mistyped number from asking for a film of days.
constexpr int kLargestSide = 8192;
constexpr int kMostFps = 240;
constexpr double kLongestSeconds = 3600.0;

bool ReadPositive(const char* text, const char* end, int* value) {
  if (text == end || *text < '0' || *text > '9') return false;
  char* stop = nullptr;
  errno = 0;
  const long number = std::strtol(text, &stop, 10);
  if (stop != end || errno != 0 || number <= 0 || number > kLargestSide * 16) return false;
  *value = static_cast<int>(number);
  return true;
}

}  // namespace

std::string CheckFilmSettings(const FilmSettings& settings) {
  const int w = settings.width, h = settings.height;
  if (w < 2 || h < 2 || w > kLargestSide || h > kLargestSide)
    return "a film's size is 2 to " + std::to_string(kLargestSide) + " pixels a side, not " +
           std::to_string(w) + "x" + std::to_string(h);
  if (w % 2 != 0 || h % 2 != 0)
    return "a film's width and height must be even (its colour is kept for 2 x 2 pixels), not " +
           std::to_string(w) + "x" + std::to_string(h);
  if (settings.fps < 1 || settings.fps > kMostFps)
    return "a film has 1 to " + std::to_string(kMostFps) + " frames a second";
  if (!(settings.seconds > 0.0) || settings.seconds > kLongestSeconds)
    return "a film lasts more than 0 and at most " + std::to_string(int(kLongestSeconds)) +
           " seconds";
  return {};
}

bool ParseFilmSize(const std::string& text, int* width, int* height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  int w = 0, h = 0;
  const char* begin = text.c_str();
  if (!ReadPositive(begin, begin + x, &w) || !ReadPositive(begin + x + 1, begin + text.size(), &h))
    return false;
  *width = w;
  *height = h;
  return true;
}

FilmTimeline::FilmTimeline(const FilmSettings& settings, std::int64_t units)
    : units_(units < 0 ? 0 : units) {
  const int total = std::max(1, static_cast<int>(std::lround(settings.seconds * settings.fps)));
  const int hold = static_cast<int>(std::lround(total * kHoldShare));
  light_ = static_cast<int>(std::lround(total * kLightShare));
  last_ = hold;
  first_ = settings.resultFirst ? hold : 0;
  // The shares leave at least 60 % of a film of one frame or more.
  making_ = total - first_ - light_ - last_;
}

FilmFrame FilmTimeline::Frame(int index) const {
  FilmFrame frame;
  if (index < first_) {
    frame.phase = FilmPhase::kResultFirst;
    frame.unitsShown = units_;
    return frame;
  }
  index -= first_;
  if (index < making_) {
    frame.phase = FilmPhase::kMaking;
    // Evenly spread, rounded to the nearest unit: frame 0 the empty canvas,
    // the last frame of the making every unit.
    const std::int64_t steps = making_ - 1;
    frame.unitsShown = steps == 0 ? units_ : (units_ * index + steps / 2) / steps;
    return frame;
  }
  index -= making_;
  frame.unitsShown = units_;
  if (index < light_) {
    frame.phase = FilmPhase::kLight;
    frame.lightTurn = static_cast<double>(index) / light_;
    return frame;
  }
  frame.phase = FilmPhase::kResultLast;
  return frame;
}
