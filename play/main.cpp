// kelvra-play: the painter with session scripts. It records a painting as
// it is made, and replays a script into the same program (headless too,
// on a virtual display of its own), with undo, redo, export, open and save
// besides; --open renders and exports a painting file in one command.

#include <GL/freeglut.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/painting_files.h"
#include "app/film.h"
#include "app/painting_keys.h"
#include "app/shell.h"
#include "common/notice.h"
#include "common/version.h"
#include "export/painting.h"
#include "image/textures.h"
#include "platform/files.h"
#include "play/recorder.h"
#include "play/replayer.h"
#include "play/script.h"
#include "play/virtual_display.h"
#include "render/kept_picture.h"
#include "app/redisplay.h"
#include "state/state.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  kelvra-play [OPTIONS] SCRIPT      replay a session script, then exit\n"
    "  kelvra-play --record FILE         paint as with kelvra, writing every event\n"
    "                                    into FILE, a new file, as it happens\n"
    "  kelvra-play --open FILE [--export OUT]... [--screenshot OUT.png]\n"
    "                                    open the painting FILE, write each export\n"
    "                                    (by its extension, as export lines do) and a\n"
    "                                    picture of the main view, then exit; with\n"
    "                                    neither, only check that FILE opens: status\n"
    "                                    0 when it does, 1 (and why) when not\n"
    "  kelvra-play --open FILE --film OUT.mp4   a film of the painting: its strokes\n"
    "                                    appearing one by one, the light turning\n"
    "                                    across the relief, the painting held\n"
    "  kelvra-play SCRIPT --film OUT.mp4 a film of the replay, strokes growing\n"
    "                                    node by node as they were painted\n"
    "  kelvra-play --help | --version\n"
    "Options of a replay and of --open:\n"
    "  --realtime           honour the script's waits and the program's pace\n"
    "  --redraw-always      redraw every window at every idle step, as without\n"
    "                       change tracking, drawing all of every frame\n"
    "  --no-kept-picture    draw all of every main-view frame, without the kept\n"
    "                       picture of what stands still\n"
    "  --picture-log FILE   after every event, a fingerprint of every window's\n"
    "                       picture (for comparing the two ways of redrawing)\n"
    "Options of a film (--film, and film lines of scripts):\n"
    "  --film OUT           H.264 in .mp4, VP9 in .webm, or numbered PNG pictures\n"
    "                       in a new or empty folder (OUT/)\n"
    "  --film-size WxH      1920x1080 unless given; width and height even\n"
    "  --film-seconds S     about 20 seconds unless given, whatever the painting\n"
    "  --film-fps N         30 frames a second unless given\n"
    "  --film-result-first  the finished painting held at the start too\n"
    "Options of all three:\n"
    "  --relief-size MM     the canvas's side in an exported printable relief\n"
    "                       (.stl), 100 mm unless given\n"
    "  -display, -geometry and GLUT's other X options, as for kelvra\n"
    "\n"
    "A replay runs as fast as the program goes and prints the painter's console\n"
    "output; --realtime honours the script's waits. Without a display, a replay\n"
    "and --open start their own virtual X server. In the main view Ctrl+Z\n"
    "undoes, Ctrl+Y redoes, x exports the painting into exports/ (a .glb file).\n"
    "The script format is described in the README.\n";

struct Options {
  std::string script;
  std::string record;
  std::string open;  // --open's painting, with what to write of it
  std::vector<std::string> exports;
  std::string screenshot;
  bool realtime = false;
  bool tracking = true;
  bool keptPicture = true;
  std::string pictureLog;
  float reliefSizeMm = ExportSettings().reliefSizeMm;
  std::string film;
  FilmSettings filmSettings;
  std::vector<char*> glutArguments;  // the program's name, then GLUT's own options
  const char* display = nullptr;     // -display's value, when given
};

// `message` naming the file at `path` as the person named it.
std::string WithPathNamed(std::string message, const std::string& path, const std::string& name) {
  for (std::size_t at = message.find(path); at != std::string::npos;
       at = message.find(path, at + name.size()))
    message.replace(at, path.size(), name);
  return message;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "kelvra-play: %s\n", message.c_str());
  return 1;
}

bool EndsWithPng(const std::string& name) {
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0;
}

// How many words a GLUT option takes (the options glutInit reads from an
// X program's command line, as kelvra passes them on), or 0 for any other.
int GlutOptionWords(const std::string& word) {
  if (word == "-display" || word == "-geometry") return 2;
  if (word == "-iconic" || word == "-direct" || word == "-indirect" || word == "-gldebug" ||
      word == "-sync")
    return 1;
  return 0;
}

// Reads the arguments; returns -1 to go on, or the exit status.
int ReadArguments(int argc, char** argv, Options* options) {
  options->glutArguments.push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      std::printf("%s", kUsage);
      return 0;
    }
    if (word == "--version") {
      std::printf("kelvra-play %s\n", KELVRA_VERSION);
      return 0;
    }
    if (word == "--realtime") {
      options->realtime = true;
    } else if (word == "--redraw-always") {
      options->tracking = false;
      options->keptPicture = false;
    } else if (word == "--no-kept-picture") {
      options->keptPicture = false;
    } else if (word == "--relief-size") {
      char* end = nullptr;
      const float size = i + 1 < argc ? std::strtof(argv[i + 1], &end) : 0.0f;
      if (i + 1 >= argc || *end != '\0' || !(size > 0.0f) || size > 1e5f)
        return Fail("--relief-size needs a size in millimetres, such as 150");
      options->reliefSizeMm = size;
      ++i;
    } else if (word == "--film") {
      if (i + 1 >= argc || !*argv[i + 1])
        return Fail("--film needs a file name (.mp4, .webm) or a folder");
      if (!options->film.empty()) return Fail("one --film at a time");
      options->film = argv[++i];
    } else if (word == "--film-size") {
      FilmSettings& film = options->filmSettings;
      if (i + 1 >= argc || !ParseFilmSize(argv[i + 1], &film.width, &film.height))
        return Fail("--film-size needs a width and height in pixels, such as 1280x720");
      ++i;
    } else if (word == "--film-seconds") {
      char* end = nullptr;
      const double seconds = i + 1 < argc ? std::strtod(argv[i + 1], &end) : 0.0;
      if (i + 1 >= argc || *end != '\0' || !(seconds > 0.0))
        return Fail("--film-seconds needs a length in seconds, such as 20");
      options->filmSettings.seconds = seconds;
      ++i;
    } else if (word == "--film-fps") {
      char* end = nullptr;
      const long fps = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
      if (i + 1 >= argc || *end != '\0' || fps < 1 || fps > 1000)
        return Fail("--film-fps needs a number of frames a second, such as 30");
      options->filmSettings.fps = static_cast<int>(fps);
      ++i;
    } else if (word == "--film-result-first") {
      options->filmSettings.resultFirst = true;
    } else if (word == "--picture-log") {
      if (i + 1 >= argc) return Fail("--picture-log needs a file name");
      options->pictureLog = argv[++i];
    } else if (word == "--record") {
      if (i + 1 >= argc) return Fail("--record needs a file name");
      options->record = argv[++i];
    } else if (word == "--open") {
      if (i + 1 >= argc || !*argv[i + 1]) return Fail("--open needs a painting file");
      if (!options->open.empty()) return Fail("one --open at a time");
      options->open = argv[++i];
    } else if (word == "--export") {
      if (i + 1 >= argc || !*argv[i + 1]) return Fail("--export needs a file name");
      options->exports.push_back(argv[++i]);
    } else if (word == "--screenshot") {
      if (i + 1 >= argc || !EndsWithPng(argv[i + 1]))
        return Fail("--screenshot needs a file name ending in .png");
      if (!options->screenshot.empty()) return Fail("one --screenshot at a time");
      options->screenshot = argv[++i];
    } else if (const int words = GlutOptionWords(word); words > 0) {
      if (i + words > argc) return Fail(word + " needs a value");
      if (word == "-display") options->display = argv[i + 1];
      for (int k = 0; k < words; ++k) options->glutArguments.push_back(argv[i + k]);
      i += words - 1;
    } else if (!word.empty() && word[0] == '-') {
      std::fprintf(stderr, "kelvra-play: unknown option %s\n\n%s", word.c_str(), kUsage);
      return 2;
    } else if (options->script.empty()) {
      options->script = word;
    } else {
      std::fprintf(stderr, "kelvra-play: one script at a time\n\n%s", kUsage);
      return 2;
    }
  }
  const int modes = !options->script.empty() + !options->record.empty() + !options->open.empty();
  const bool outputs = !options->exports.empty() || !options->screenshot.empty();
  if (modes != 1 || (outputs && options->open.empty()) ||
      (!options->film.empty() && !options->record.empty())) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  if (const std::string problem = CheckFilmSettings(options->filmSettings); !problem.empty())
    return Fail(problem);
  options->glutArguments.push_back(nullptr);
  return -1;
}

// Starts the painter with GLUT's options from the command line.
void Start(Options& options) {
  int argc = static_cast<int>(options.glutArguments.size()) - 1;
  StartPainter(&argc, options.glutArguments.data());
}

// A new file for a recording. An existing one is never written to: the
// events would land after its Esc, where no replay reaches them. With
// O_EXCL the test and the making are one step, so no other program can
// make the file in between. Null after saying why not.
std::FILE* NewJournal(const std::string& name) {
  const int file = ::open(FromStartFolder(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (file < 0 && errno == EEXIST) {
    Fail(name + " exists already: a recording goes into a new file");
    return nullptr;
  }
  std::FILE* journal = file < 0 ? nullptr : ::fdopen(file, "w");
  if (!journal) Fail("cannot write " + name + ": " + std::strerror(errno));
  return journal;
}

int Record(Options& options) {
  // A display that cannot be opened would stop the painter after the
  // journal was made, leaving an empty file behind.
  if (const std::string problem = HoldDisplay(options.display); !problem.empty())
    return Fail(problem + ": nothing is recorded");
  std::FILE* journal = NewJournal(options.record);
  if (!journal) return 1;
  Start(options);
  ReleaseDisplay();
  // It lives as long as the event loop, which ends with the process.
  static Recorder recorder(journal);
  recorder.Start();
  glutMainLoop();
  return 0;
}

// The script file's events; nullopt after saying why there are none.
std::optional<std::vector<Event>> ReadScript(const std::string& script) {
  std::vector<std::uint8_t> bytes;
  const std::string reason = ReadWholeFile(FromStartFolder(script), std::uint64_t(1) << 40, &bytes);
  if (!reason.empty()) {
    std::fprintf(stderr, "%s: cannot read the script: %s\n", script.c_str(), reason.c_str());
    return std::nullopt;
  }
  std::string error;
  auto events = ParseScript(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), script, &error);
  if (!events) std::fprintf(stderr, "%s\n", error.c_str());
  return events;
}

Event FileEvent(EventKind kind, const std::string& file) {
  Event event;
  event.kind = kind;
  event.text = file;
  return event;
}

// The idle steps after --open's painting is opened, before anything is
// written: every window draws it, and the panels show its settings.
constexpr long kOpenedFrames = 1;

// The script --open stands for: the painting opened, drawn, each export
// and the main view's picture.
std::vector<Event> OpenScript(const Options& options) {
  Event frames;
  frames.kind = EventKind::kFrames;
  frames.count = kOpenedFrames;
  std::vector<Event> events{FileEvent(EventKind::kOpen, options.open), frames};
  for (const std::string& file : options.exports)
    events.push_back(FileEvent(EventKind::kExport, file));
  if (!options.screenshot.empty())
    events.push_back(FileEvent(EventKind::kScreenshot, options.screenshot));
  if (!options.film.empty()) events.push_back(FileEvent(EventKind::kFilm, options.film));
  return events;
}

int Replay(Options& options) {
  std::optional<std::vector<Event>> events =
      options.open.empty() ? ReadScript(options.script) : OpenScript(options);
  if (!events) return 1;
  std::string error;
  if (!EnsureDisplay(&error)) return Fail(error);
  Start(options);
  // A replay runs idle steps as fast as the program goes, so that `frames N`
  // is N steps on every machine; --realtime keeps the program's own pace.
  SetIdlePacing(options.realtime);
  StopRedrawChecks();
  SetChangeTracking(options.tracking);
  AppState().keptPicture.SetEnabled(options.keptPicture);
  std::FILE* pictureLog = nullptr;
  if (!options.pictureLog.empty()) {
    pictureLog = std::fopen(FromStartFolder(options.pictureLog).c_str(), "w");
    if (!pictureLog) return Fail("cannot write " + options.pictureLog);
  }
  ReplayExtras extras;
  extras.undo = [] {
    UndoStep();
    return std::string();
  };
  extras.redo = [] {
    RedoStep();
    return std::string();
  };
  extras.exportTo = ExportInto;
  extras.open = OpenPaintingFile;
  extras.save = SavePaintingFile;
  extras.film = [&options](const std::string& path, const std::string& name) {
    return MakePaintingFilm(path, name, options.filmSettings);
  };
  // A script's film is taken as it plays; --open's is a film line.
  std::unique_ptr<ReplayFilm> film;
  if (!options.film.empty() && options.open.empty()) {
    const std::string path = FromStartFolder(options.film);
    std::string problem;
    film = ReplayFilm::Start(path, options.filmSettings, std::int64_t(events->size()), &problem);
    if (!film) return Fail(WithPathNamed(problem, path, options.film));
    extras.afterEvents = [&film](std::size_t done) { film->AfterEvents(std::int64_t(done)); };
  }
  ReplayOptions replay;
  // --open's events have no script: its failures are the program's.
  replay.scriptName = options.open.empty() ? options.script : "kelvra-play";
  replay.baseFolder = StartFolder();
  replay.realtime = options.realtime;
  replay.progress = events->size() >= 2000;
  replay.pictureLog = pictureLog;
  const std::size_t eventCount = events->size();
  Replayer replayer(std::move(*events), replay, extras);
  const int status = replayer.Run();
  if (status == 0) FinishFilmByKey();
  // --open's picture is told as its exports are: the person asked for it
  // by name. A script's own screenshot lines stay quiet.
  if (status == 0 && !options.screenshot.empty())
    Notice("wrote the main view's picture into " + options.screenshot);
  if (status != 0 || !film) return status;
  if (const std::string problem = film->Finish(); !problem.empty())
    return Fail(WithPathNamed(problem, FromStartFolder(options.film), options.film));
  Notice(FilmMadeLine(options.film, options.filmSettings,
                      FilmTimeline(options.filmSettings, std::int64_t(eventCount)).FrameCount()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const int status = ReadArguments(argc, argv, &options);
  if (status >= 0) return status;
  SetNoticeName("kelvra-play");
  SetReliefSize(options.reliefSizeMm);
  SetKeyFilmSettings(options.filmSettings);
  const int result = options.record.empty() ? Replay(options) : Record(options);
  std::fflush(stdout);
#ifdef __SANITIZE_ADDRESS__
  // The leak check runs now, while the GL driver is still loaded: at exit
  // it is unloaded first, and its lifetime allocations could no longer be
  // told apart by name.
  __lsan_do_leak_check();
#endif
  // The GLUT windows go with the process; exit runs the virtual display's
  // shutdown.
  std::exit(result);
}
