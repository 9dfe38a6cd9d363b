#pragma once
// The film of a painting as a timeline of frames, pure of GL and files:
// which frame shows how much of the painting being made, where the light
// stands while it sweeps across the finished relief, and the finished
// painting held at the end (and, when asked, at the start too).
//
// "Units" are what the making is counted in: committed strokes for a film
// of a painting file (each appears whole in one frame), the events of a
// replayed script or recording (so a stroke grows node by node).

#include <cstdint>
#include <string>

struct FilmSettings {
  // Even, as H.264 and VP9 in 4:2:0 colour need.
  int width = 1920, height = 1080;
  int fps = 30;
  double seconds = 20.0;
  bool resultFirst = false;  // the finished painting held before its making too
};

// Why the settings cannot make a film, or an empty text. A size of odd
// width or height is refused rather than rounded: a film of a size other
// than the one asked would surprise whoever asked for it.
std::string CheckFilmSettings(const FilmSettings& settings);
// "WxH" into width and height; false (nothing set) when it is not two
// positive numbers.
bool ParseFilmSize(const std::string& text, int* width, int* height);

enum class FilmPhase { kResultFirst, kMaking, kLight, kResultLast };

struct FilmFrame {
  FilmPhase phase = FilmPhase::kMaking;
  std::int64_t unitsShown = 0;  // of the making: how many units are done
  // Of the light's sweep: the share of one whole turn, 0 (where the
  // painting's own light stands) up to nearly 1.
  double lightTurn = 0.0;
};

class FilmTimeline {
 public:
  // `units` ≥ 0; the settings as CheckFilmSettings accepts them.
  FilmTimeline(const FilmSettings& settings, std::int64_t units);

  int FrameCount() const { return first_ + making_ + light_ + last_; }
  // Frame `index`, 0 ≤ index < FrameCount(). The making starts from the
  // empty canvas and ends with every unit done, the units spread evenly
  // over its frames (several a frame when there are more units than
  // frames).
  FilmFrame Frame(int index) const;

 private:
  std::int64_t units_;
  int first_ = 0, making_ = 0, light_ = 0, last_ = 0;
};
