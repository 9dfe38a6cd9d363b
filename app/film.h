#pragma once
// Films of the painting: the canvas empty, the strokes appearing in the
// order they were painted, the light sweeping across the finished relief,
// then the finished painting held (export/film_timeline.h), drawn off the
// screen as the main view draws it (render/offscreen_frame.h) and written
// on a thread of its own (export/film_encoder.h). The GL work goes to the
// main window's context, whichever window is current.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "export/film_encoder.h"
#include "export/film_timeline.h"
#include "render/offscreen_frame.h"
#include "stroke/stroke.h"

// The frames of one film on their way to its file: the timeline, the
// off-screen picture they are drawn in and the writer.
class FilmFrames {
 public:
  // Null, with `error` set, when the film cannot be made (its file, the
  // GL's framebuffers); the error names the file.
  static std::unique_ptr<FilmFrames> Start(const std::string& path, const FilmSettings& settings,
                                           std::int64_t units, std::string* error);

  const FilmTimeline& Timeline() const { return timeline_; }
  int Next() const { return next_; }
  // Every frame drawn, or the writer failed (drawing more is of no use).
  bool Done() const { return next_ >= timeline_.FrameCount() || (writer_ && writer_->Failed()); }
  bool WriterHasRoom() const { return writer_->HasRoom(); }
  bool WriterIdle() const { return writer_->Idle(); }
  // Draws the next frame of the timeline from `view` (a film's view:
  // FilmViewOf) and hands it to the writer, waiting while it is full.
  void DrawNext(const SceneView& view);
  // Waits for the writer and completes the file; what went wrong, or "".
  std::string Finish();
  // Drops the film unwritten, touching no GL (the program is ending).
  void Abandon() { writer_.reset(); }

 private:
  FilmFrames(const std::string& path, const FilmSettings& settings, std::int64_t units);

  std::string path_;
  FilmTimeline timeline_;
  OffscreenFrame frame_;
  std::unique_ptr<FilmWriter> writer_;
  int next_ = 0;
};

// The main view as a film shows it: no cursor and no selection outline (a
// film shows the painting, not the tools), exact meshes, the size of the
// film.
SceneView FilmViewOf(SceneView view, const FilmSettings& settings);

// A film of the painting as it stands: each stroke appears whole in one
// frame. It draws from a copy of the committed strokes (with particle
// lists of its own), so the painter may go on painting while it is made.
class PaintingFilm {
 public:
  static std::unique_ptr<PaintingFilm> Start(const std::string& path, const FilmSettings& settings,
                                             std::string* error);
  // Gives the copy's particle lists back (the main window's context must
  // be current).
  ~PaintingFilm();

  // Draws frames until all are drawn or `budget` is spent; with
  // `waitForWriter` false it also stops where a frame would wait for the
  // writer (at least one frame is drawn when it would not). True once
  // every frame is drawn.
  bool Step(std::chrono::milliseconds budget, bool waitForWriter);
  bool WriterIdle() const { return frames_->WriterIdle(); }
  int FramesDrawn() const { return frames_->Next(); }
  int FrameCount() const { return frames_->Timeline().FrameCount(); }
  std::string Finish() { return frames_->Finish(); }
  void Abandon() { frames_->Abandon(); }

 private:
  PaintingFilm() = default;

  std::unique_ptr<FilmFrames> frames_;
  Canvas strokes_;
  SceneView view_;
};

// A film of a replay: frames are taken from the painter as a script's
// events play, at even steps of the events, so the stroke being painted
// grows node by node; the light and the held painting follow at the end.
class ReplayFilm {
 public:
  // Refuses a film that shows the result first: it is not known yet.
  static std::unique_ptr<ReplayFilm> Start(const std::string& path, const FilmSettings& settings,
                                           std::int64_t events, std::string* error);
  ~ReplayFilm();
  // `done` events have played: the frames that show them are taken.
  void AfterEvents(std::int64_t done);
  // The frames left, from the painter as it ends; what went wrong, or "".
  std::string Finish();

 private:
  ReplayFilm() = default;

  std::unique_ptr<FilmFrames> frames_;
  FilmSettings settings_;
};

// What a finished film tells: "made the film NAME (N frames, S s, W x H)".
std::string FilmMadeLine(const std::string& name, const FilmSettings& settings, int frames);

// Makes the whole film of the painting as it stands into `path`, waiting
// for it, with a progress notice every tenth and one when it is made, which
// call it `name`. What went wrong, or "".
std::string MakePaintingFilm(const std::string& path, const std::string& name,
                             const FilmSettings& settings);

// The f key: a film of the painting as it stands into the exports folder,
// made a few frames at each idle step (FilmByKeyStep) while the painter
// goes on; a notice says where it went, or why not.
void StartFilmByKey();
void FilmByKeyStep();
// Completes the f key's film in the making, if any, waiting for it (the end
// of a replay, which would otherwise drop it).
void FinishFilmByKey();
// The f key's films from now on (kelvra-play's --film-* options).
void SetKeyFilmSettings(const FilmSettings& settings);
