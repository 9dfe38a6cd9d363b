#include "app/film.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "actions/main_window_scope.h"
#include "actions/painting_files.h"
#include "app/painting_keys.h"
#include "app/redisplay.h"
#include "common/notice.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "render/particles.h"
#include "state/redraw.h"
#include "state/state.h"

// ---- Frames ---------------------------------------------------------------------------

FilmFrames::FilmFrames(const std::string& path, const FilmSettings& settings, std::int64_t units)
    : path_(path), timeline_(settings, units), frame_(settings.width, settings.height) {}

std::unique_ptr<FilmFrames> FilmFrames::Start(const std::string& path, const FilmSettings& settings,
                                              std::int64_t units, std::string* error) {
  if (const std::string problem = CheckFilmSettings(settings); !problem.empty()) {
    *error = "cannot make the film " + path + ": " + problem;
    return nullptr;
  }
  std::unique_ptr<FilmFrames> frames(new FilmFrames(path, settings, units));
  if (!frames->frame_.Problem().empty()) {
    *error = "cannot make the film " + path + ": " + frames->frame_.Problem();
    return nullptr;
  }
  std::unique_ptr<FilmOutput> output =
      OpenFilmOutput(path, settings.width, settings.height, settings.fps, error);
  if (!output) return nullptr;
  frames->writer_ = std::make_unique<FilmWriter>(std::move(output));
  return frames;
}

void FilmFrames::DrawNext(const SceneView& view) {
  if (Done() || !writer_) return;
  FilmPixels pixels;
  frame_.Draw(view, timeline_.Frame(next_).lightTurn, &pixels);
  writer_->Hand(std::move(pixels));
  ++next_;
}

std::string FilmFrames::Finish() {
  if (!writer_) return "the film " + path_ + " was abandoned";
  std::string problem = writer_->Finish();
  writer_.reset();
  return problem;
}

SceneView FilmViewOf(SceneView view, const FilmSettings& settings) {
  view.display.cursorOn = 0;
  view.selectedStroke = 0;
  view.coarse = 0;
  view.camera.width = settings.width;
  view.camera.height = settings.height;
  return view;
}

std::string FilmMadeLine(const std::string& name, const FilmSettings& settings, int frames) {
  char line[64];
  std::snprintf(line, sizeof line, " (%d frames, %.1f s, %d x %d)", frames,
                double(frames) / settings.fps, settings.width, settings.height);
  return "made the film " + name + line;
}

// ---- A film of the painting as it stands ----------------------------------------------

std::unique_ptr<PaintingFilm> PaintingFilm::Start(const std::string& path,
                                                  const FilmSettings& settings,
                                                  std::string* error) {
  MainWindowScope mainWindow;
  const Canvas& canvas = AppState().canvas;
  std::unique_ptr<PaintingFilm> film(new PaintingFilm());
  film->frames_ = FilmFrames::Start(path, settings, canvas.count, error);
  if (!film->frames_) return nullptr;
  // Only the committed strokes: a stroke still being painted is not part
  // of the painting yet.
  film->strokes_.strokes.assign(canvas.strokes.begin(), canvas.strokes.begin() + canvas.count);
  film->strokes_.count = 0;
  for (Stroke& stroke : film->strokes_.strokes)
    if (stroke.particles.displayList != 0) {
      stroke.particles.displayList = 0;
      CompileParticleList(stroke.particles);
    }
  film->view_ = FilmViewOf(CurrentMainSceneView(), settings);
  film->view_.canvas = &film->strokes_;
  return film;
}

PaintingFilm::~PaintingFilm() {
  MainWindowScope mainWindow;
  frames_.reset();
  for (const Stroke& stroke : strokes_.strokes)
    if (stroke.particles.displayList != 0) glDeleteLists(stroke.particles.displayList, 1);
}

bool PaintingFilm::Step(std::chrono::milliseconds budget, bool waitForWriter) {
  MainWindowScope mainWindow;
  const auto until = std::chrono::steady_clock::now() + budget;
  bool first = true;
  while (!frames_->Done()) {
    if (!first && std::chrono::steady_clock::now() >= until) break;
    if (!waitForWriter && !frames_->WriterHasRoom()) break;
    first = false;
    strokes_.count = static_cast<int>(frames_->Timeline().Frame(frames_->Next()).unitsShown);
    frames_->DrawNext(view_);
  }
  return frames_->Done();
}

// ---- A film of a replay ---------------------------------------------------------------

std::unique_ptr<ReplayFilm> ReplayFilm::Start(const std::string& path, const FilmSettings& settings,
                                              std::int64_t events, std::string* error) {
  if (settings.resultFirst) {
    *error = "cannot make the film " + path +
             ": a replay's finished painting is not known before it plays, so it cannot come "
             "first";
    return nullptr;
  }
  MainWindowScope mainWindow;
  std::unique_ptr<ReplayFilm> film(new ReplayFilm());
  film->frames_ = FilmFrames::Start(path, settings, events, error);
  if (!film->frames_) return nullptr;
  film->settings_ = settings;
  return film;
}

ReplayFilm::~ReplayFilm() {
  MainWindowScope mainWindow;
  frames_.reset();
}

void ReplayFilm::AfterEvents(std::int64_t done) {
  MainWindowScope mainWindow;
  const FilmTimeline& timeline = frames_->Timeline();
  while (!frames_->Done()) {
    const FilmFrame frame = timeline.Frame(frames_->Next());
    if (frame.phase != FilmPhase::kMaking || frame.unitsShown > done) return;
    frames_->DrawNext(FilmViewOf(CurrentMainSceneView(), settings_));
  }
}

std::string ReplayFilm::Finish() {
  MainWindowScope mainWindow;
  while (!frames_->Done()) frames_->DrawNext(FilmViewOf(CurrentMainSceneView(), settings_));
  return frames_->Finish();
}

// ---- Made at once, or on the f key ----------------------------------------------------

namespace {

// A notice at every tenth of the frames drawn.
void TellProgress(const std::string& name, int drawn, int total, int* told) {
  const int tenth = total > 0 ? drawn * 10 / total : 10;
  if (tenth <= *told || tenth >= 10) return;
  *told = tenth;
  Notice("film " + name + ": " + std::to_string(tenth * 10) + " % (" + std::to_string(drawn) +
         " of " + std::to_string(total) + " frames)");
}

// The f key's film in the making, for as long as the program runs (it is
// dropped unwritten at the end: a program that ends stops drawing).
struct KeyFilm {
  std::unique_ptr<PaintingFilm> film;
  std::string name;  // as the notices give it
  FilmSettings settings;
  int toldTenths = 0;
};

KeyFilm& TheKeyFilm() {
  static KeyFilm* keyFilm = [] {
    std::atexit([] {
      if (TheKeyFilm().film) TheKeyFilm().film->Abandon();
    });
    return new KeyFilm();
  }();
  return *keyFilm;
}

// Completes the file (waiting for the writer) and says so.
void EndKeyFilm(KeyFilm& key) {
  const std::string problem = key.film->Finish();
  Notice(problem.empty() ? FilmMadeLine(key.name, key.settings, key.film->FrameCount()) : problem);
  key.film.reset();
}

// Time the idle step gives the film: the painter's own work goes first.
constexpr std::chrono::milliseconds kKeyFilmBudget(12);

}  // namespace

std::string MakePaintingFilm(const std::string& path, const std::string& name,
                             const FilmSettings& settings) {
  std::string problem;
  std::unique_ptr<PaintingFilm> film = PaintingFilm::Start(path, settings, &problem);
  if (!film) return problem;
  int told = 0;
  while (!film->Step(std::chrono::milliseconds(100), true))
    TellProgress(name, film->FramesDrawn(), film->FrameCount(), &told);
  problem = film->Finish();
  if (problem.empty()) Notice(FilmMadeLine(name, settings, film->FrameCount()));
  return problem;
}

void StartFilmByKey() {
  KeyFilm& key = TheKeyFilm();
  if (key.film) {
    Notice("a film is being made already: " + key.name + ", " +
           std::to_string(key.film->FramesDrawn()) + " of " +
           std::to_string(key.film->FrameCount()) + " frames");
    return;
  }
  const std::string name = NewExportPath(".mp4");
  std::string problem = MakeFoldersOf(name);
  if (problem.empty()) key.film = PaintingFilm::Start(name, key.settings, &problem);
  if (!key.film) {
    Notice(problem);
    return;
  }
  key.name = name;
  key.toldTenths = 0;
  Notice("making the film " + name + " (" + std::to_string(key.film->FrameCount()) + " frames)");
}

void FilmByKeyStep() {
  KeyFilm& key = TheKeyFilm();
  if (!key.film) return;
  if (!key.film->Step(kKeyFilmBudget, false)) {
    TellProgress(key.name, key.film->FramesDrawn(), key.film->FrameCount(), &key.toldTenths);
    return;
  }
  // The last frames are written before the file is completed, without
  // holding up the painter.
  if (key.film->WriterIdle()) EndKeyFilm(key);
}

void FinishFilmByKey() {
  KeyFilm& key = TheKeyFilm();
  if (!key.film) return;
  while (!key.film->Step(std::chrono::milliseconds(100), true))
    TellProgress(key.name, key.film->FramesDrawn(), key.film->FrameCount(), &key.toldTenths);
  EndKeyFilm(key);
}

void SetKeyFilmSettings(const FilmSettings& settings) { TheKeyFilm().settings = settings; }
