// Paintings saved and opened by the painter itself, in process on a hidden
// window with the data set's maps.

#include "actions/painting_files.h"

#include <GL/gl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "actions/documents.h"
#include "actions/main_view_notice.h"
#include "actions/painting_history.h"
#include "app/input.h"
#include "app/shell.h"
#include "app/view.h"
#include "camera/camera.h"
#include "image/filters.h"
#include "image/pixel_store.h"
#include "image/textures.h"
#include "platform/files.h"
#include "tests/actions/painter_session.h"
#include "tests/support/fingerprint.h"
#include "tests/support/painter.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings.h"

namespace {

constexpr int kSize = 256;

// Every setting a painting carries.
std::string SettingsPrint() {
  Fingerprint f;
  for (const auto& [key, bytes] : SettingValues(SettingsOfState(AppState())))
    f.Bytes(bytes.data(), bytes.size());
  return Hex(f.hash);
}

// The main view once it has settled: the idle step has loaded the maps a
// change asked for, and a frame is lit by the light position the frame
// before it gave, so the redraw checks draw a second one.
std::vector<unsigned char> MainViewPixels() {
  Quietly(OnIdle);
  OnDisplay();
  OnDisplay();
  std::vector<unsigned char> rgb(kSize * kSize * 3);
  const PixelStoreScope tightRows;
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

class PaintingFiles : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    ::setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    AppState().windows.main.width = AppState().windows.main.height = kSize;
    Quietly([] {
      InitScene();
      OnReshape(kSize, kSize);
      LoadAllMaps(AppState().maps);
      AppState().pictures.source.LoadFrom(AppState().maps[MAP_SOURCE]);
      ApplyFilterChoice(kFilterVerticalSobel);
    });
    history_.emplace();
  }
  void TearDown() override {
    history_.reset();
    PainterTest::TearDown();
    ::unsetenv("XDG_DATA_HOME");
  }

  // Everything a painting is made of, as the painter holds it.
  using Print = std::tuple<std::string, std::string, std::vector<unsigned char>>;
  static Print PrintNow() {
    return {CanvasPrint(CanvasPart::kCommitted), SettingsPrint(), MainViewPixels()};
  }

  // What a call told on stderr.
  template <typename Call>
  static std::string Told(Call call) {
    testing::internal::CaptureStderr();
    Quietly(call);
    return testing::internal::GetCapturedStderr();
  }
  static std::string Saved(const std::string& path) {
    return Told([&] { SavePaintingFile(path); });
  }
  static std::string Opened(const std::string& path) {
    return Told([&] { OpenPaintingFile(path); });
  }
  // A canvas and settings unlike the start's: two strokes, a turned camera
  // and light, other display switches, colour and detail map, and the
  // source shown unfiltered.
  static void PaintSomethingElse() {
    ApplicationState& state = AppState();
    Quietly(DeleteAllStrokes);
    PainterTest::Paint(-0.5f, -0.5f, 0.1f, 0.1f);
    PainterTest::Paint(0.5f, -0.5f, -0.1f, 0.1f);
    HandleCameraKey(state.camera, state.light, 'w');
    state.light.rotation[3] += 0.125f;
    state.display.axesOn = 1, state.display.lightOn = 0;
    PickColour(Vec4(0.9f, 0.5f, 0.2f, 1.0f), 0.3f, 2.5f);
    Quietly([] { ChooseMapFile(MAP_DETAIL, "textures/detailmap/Linen.bmp"); });
    ShowUnfilteredSource();
  }

  ScratchTextureTree textures_;
  ScratchDir data_;
  std::optional<PaintingHistory> history_;
};

// A painting of a seeded session, saved, then opened over another canvas
// with other settings, gives back the canvas, every setting and the main
// view's every pixel (maps loaded, picture filtered again), and saved again
// is the file it was opened from, byte for byte; undo and redo take the
// open back and forth, the settings staying. Before that, a file that is
// missing, cut short, a folder or no painting, and a save where a file blocks the
// folder, are refused with one line naming the file; the canvas, the
// settings, the history and the painting's own file stay as they were.
TEST_F(PaintingFiles, OpeningIsOneStepAndAFileThatDoesNotOpenChangesNothing) {
  std::mt19937 dice(7);
  for (int i = 0; i < 20; ++i) RandomAction(dice);
  // The longest name a folder takes: a temporary name grown from it would
  // not fit.
  const std::string path = PaintingPathForName(std::string(248, 'p'));
  const std::string other = PaintingPathForName("other");
  MainViewPixels();  // as the painter draws before it reads the next key
  EXPECT_EQ(Saved(path), "kelvra: saved " + path + "\n");
  const Print saved = PrintNow();
  const Bytes bytes = ReadBytes(path);
  ASSERT_GT(bytes.size(), 67u);
  EXPECT_EQ(std::string(bytes.begin() + 30, bytes.begin() + 67),
            "mimetypeapplication/x-kelvra-painting")
      << "the type first, stored, readable at a fixed place";
  const std::string shortFile = data_.File("short.kelvra"), text = data_.File("text.kelvra");
  std::ofstream(shortFile, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size() / 2));
  std::ofstream(text) << "not a painting\n";
  PaintSomethingElse();
  Saved(other);  // the painting keeper now holds this one's pictures
  const Print before = PrintNow();
  ASSERT_FALSE(before == saved);
  const std::size_t steps = history_->Steps().UndoSteps();
  const std::pair<std::string, std::string> bad[] = {
      {data_.File("missing.kelvra"), "No such file or directory"},
      {shortFile, ""}, {text, ""}, {data_.Path(), "Is a directory"}};
  for (const auto& [file, why] : bad) {
    SCOPED_TRACE(file);
    const std::string said = Opened(file);
    EXPECT_TRUE(said.rfind("kelvra: ", 0) == 0 && said.find(file) != std::string::npos &&
                said.find(why) != std::string::npos && said.find('\n') == said.size() - 1)
        << said;
    EXPECT_TRUE(PrintNow() == before);
    EXPECT_EQ(history_->Steps().UndoSteps(), steps);
    EXPECT_EQ(CurrentPaintingFile(), other);
  }
  const std::string blocked = text + "/painting.kelvra";  // a file where a folder should be
  EXPECT_EQ(Saved(blocked), "kelvra: cannot save " + blocked + ": Not a directory\n");
  EXPECT_EQ(CurrentPaintingFile(), other);

  EXPECT_EQ(Opened(path), "kelvra: opened " + path + "\n");
  EXPECT_TRUE(PrintNow() == saved) << "the canvas, the settings or the main view differ";
  Saved(PaintingPathForName("again"));
  EXPECT_TRUE(ReadBytes(PaintingPathForName("again")) == bytes) << "saving what was opened";
  ASSERT_TRUE(history_->Undo());
  EXPECT_EQ(CanvasPrint(CanvasPart::kCommitted), std::get<0>(before));
  EXPECT_EQ(SettingsPrint(), std::get<1>(saved));
  ASSERT_TRUE(history_->Redo());
  EXPECT_EQ(CanvasPrint(CanvasPart::kCommitted), std::get<0>(saved));
}

// Saved paintings are listed newest first, after what a run left unsaved,
// which is named by its own file; a run that has ended but was not waited
// for yet (its process a zombie) no longer keeps its autosave. Opening it
// gives the painting back, and this run takes it over: it is no longer
// offered, and saving goes to its file again. Discarded, a recovered
// painting is gone for good; a saved one is not discarded here.
TEST_F(PaintingFiles, AnUnsavedPaintingOfAnEndedRunIsListedFirstAndRecovered) {
  const std::string own = PaintingPathForName("mine"), older = PaintingPathForName("older");
  Saved(older);
  Saved(own);
  const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, older.c_str(), anHourAgo, 0), 0);
  PainterTest::Paint(-0.6f, 0.2f, 0.15f, 0.0f);
  PainterTest::Paint(0.2f, -0.6f, 0.0f, 0.15f);
  const std::string sessionEnd = CanvasPrint(CanvasPart::kCommitted);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  siginfo_t ended;  // the child's end, leaving it a zombie until it is waited for
  ASSERT_EQ(::waitid(P_PID, child, &ended, WEXITED | WNOWAIT), 0);
  const std::string autosave = PaintingsFolder() + ".autosave/20260101-120000-";
  Saved(autosave + std::to_string(child) + ".kelvra");
  std::ofstream(autosave + std::to_string(child) + ".kelvra.source") << own;
  std::ofstream(autosave + std::to_string(::getpid()) + ".kelvra") << "this run's is not offered";
  PaintSomethingElse();
  const std::vector<PaintingEntry> list = ListPaintings();
  ::waitpid(child, nullptr, 0);
  ASSERT_EQ(list.size(), 3u) << "the recovered painting, then mine, then the older";
  EXPECT_TRUE(list[0].recovered && !list[1].recovered);
  EXPECT_EQ(list[0].label.rfind("Recovered ", 0), 0u);
  EXPECT_EQ(list[0].label.substr(list[0].label.size() - 14), " (mine.kelvra)");
  EXPECT_EQ(list[1].label + " " + list[2].label, "mine older");

  EXPECT_EQ(Told([] { EXPECT_TRUE(OpenRecoveredPainting()); }),
            "kelvra: recovered " + autosave + std::to_string(child) + ".kelvra\n");
  EXPECT_EQ(CanvasPrint(CanvasPart::kCommitted), sessionEnd);
  EXPECT_EQ(CurrentPaintingFile(), own);
  for (const PaintingEntry& entry : ListPaintings()) EXPECT_FALSE(entry.recovered);
  EXPECT_EQ(Told([] { EXPECT_FALSE(OpenRecoveredPainting()); }),
            "kelvra: there is no painting to recover\n");

  Saved(autosave + "2147483000.kelvra");  // no process has a number this large
  const PaintingEntry unwanted = ListPaintings().front();
  ASSERT_TRUE(unwanted.recovered);
  Told([&] {
    EXPECT_FALSE(DiscardRecoveredPainting(ListPaintings().back()));
    EXPECT_TRUE(DiscardRecoveredPainting(unwanted));
  });
  for (const PaintingEntry& entry : ListPaintings()) EXPECT_FALSE(entry.recovered);
}

// A typed name is trimmed and keeps every letter; what is no name says
// why. Saved, the file is this run's: a write by someone else since is
// told, a touch that leaves its bytes is not; a note of another running
// painter beside it is told when it opens. Exports take its name.
TEST_F(PaintingFiles, NamesChangesAndExportsFollowThePaintingsFile) {
  const std::tuple<std::string, std::string, std::string> names[] = {
      // typed, file, problem
      {"  my garden \xc3\xa9t\xc3\xa9 \xe5\x90\x8d\xe5\x89\x8d ",
       "my garden \xc3\xa9t\xc3\xa9 \xe5\x90\x8d\xe5\x89\x8d.kelvra", ""},
      {"harbour.kelvra", "harbour.kelvra", ""},
      {"  ", "", "type a name"},
      {"..", "", "is no name of its own"},
  };
  for (const auto& [typed, file, problem] : names) {
    const PaintingName found = PaintingPathOf(typed);
    EXPECT_EQ(found.path, file.empty() ? "" : PaintingsFolder() + file) << typed;
    EXPECT_NE(found.problem.find(problem), std::string::npos) << found.problem;
  }

  const std::string path = PaintingPathForName("harbour"), other = PaintingPathForName("other");
  Saved(path);
  const timespec later[2] = {{::time(nullptr) + 60, 0}, {::time(nullptr) + 60, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
  EXPECT_EQ(ChangedSinceThisRun(path), "") << "touched, but the same bytes";
  std::ofstream(path, std::ios::app) << "another run's";
  EXPECT_EQ(ChangedSinceThisRun(path), "harbour.kelvra changed since this run opened or saved it");
  EXPECT_EQ(ChangedSinceThisRun(other), "");
  Saved(path);
  EXPECT_EQ(ChangedSinceThisRun(path), "");
  const std::string exported = NewExportPath(".glb");
  EXPECT_EQ(exported.rfind(ExportsFolder() + "harbour-", 0), 0u) << exported;

  const auto toldOpening = [](const std::string& file) {
    FileOutcome opened;
    Told([&] { opened = OpenPaintingFile(file); });
    EXPECT_TRUE(opened.ok);
    return opened.told;
  };
  Saved(other);
  const std::string note = PaintingsFolder() + ".harbour.kelvra.lock";
  std::ofstream(note) << "kelvra-2147483000";  // a run that has ended
  EXPECT_EQ(toldOpening(path), "");
  toldOpening(other);
  std::ofstream(note) << "kelvra-" << ::getppid();
  EXPECT_EQ(toldOpening(path), "harbour.kelvra is open in another Kelvra too (process " +
                                   std::to_string(::getppid()) +
                                   "): a save in one loses the other's changes");
}

// The autosave is written on an idle step, and then not again for a few
// seconds however many idle steps follow: a person painting fast is not
// slowed by a file at every step. What Esc finds unwritten goes at the stop.
TEST_F(PaintingFiles, TheAutosaveWaitsSecondsBetweenWrites) {
  const auto StrokesInAutosave = [] {
    for (const std::string& name : ListDirectory(PaintingsFolder() + ".autosave/").names) {
      const OpenedPainting opened = OpenPainting(PaintingsFolder() + ".autosave/" + name);
      if (opened.Ok()) return static_cast<int>(opened.painting.strokes.size());
    }
    return 0;
  };
  StartAutosave();
  PainterTest::Paint(-0.6f, 0.2f, 0.15f, 0.0f);
  const auto written = std::chrono::steady_clock::now();
  Quietly(OnIdle);
  for (int tries = 0; tries < 1000 && StrokesInAutosave() == 0; ++tries) ::usleep(10000);
  ASSERT_EQ(StrokesInAutosave(), 1) << "the first idle step after a change writes it";
  PainterTest::Paint(0.2f, -0.6f, 0.0f, 0.15f);
  for (int step = 0; step < 10; ++step) Quietly(OnIdle), ::usleep(20000);
  // On a machine so loaded that these steps took seconds, a second write
  // would be on time: only a quick run can tell.
  if (std::chrono::steady_clock::now() - written < std::chrono::seconds(2)) {
    EXPECT_EQ(StrokesInAutosave(), 1) << "written again within seconds of the last";
  }
  Told([] { StopAutosave(); });
  EXPECT_EQ(StrokesInAutosave(), 2) << "the stop writes what was left";
}

// A notice over the main view covers part of the picture and, gone, leaves
// the picture as it was. A painting's thumbnail is the painting: the brush
// cursor the main view shows over it is left out, and nothing else.
TEST_F(PaintingFiles, NoticesAndTheCursorAreNotThePainting) {
  PainterTest::Paint(-0.6f, 0.2f, 0.15f, 0.0f);
  const std::vector<unsigned char> before = MainViewPixels();
  ShowMainViewNotice("kelvra: cannot open x.kelvra: No such file or directory");
  EXPECT_FALSE(MainViewPixels() == before);
  AppState().notice.until = 0;
  ExpireMainViewNotice();
  EXPECT_TRUE(MainViewPixels() == before);

  Quietly([] { OnPassiveMotion(kSize / 2, kSize / 2); });
  const std::vector<unsigned char> screen = MainViewPixels();
  const MainViewFrame frame = ReadMainViewFrame();
  ASSERT_EQ(frame.rgba.size(), std::size_t(kSize) * kSize * 4);
  int differ = 0, farthest = 0;
  for (int at = 0; at < kSize * kSize; ++at)
    if (!std::equal(&screen[at * 3], &screen[at * 3 + 3], &frame.rgba[at * 4])) {
      ++differ;
      farthest =
          std::max({farthest, std::abs(at % kSize - kSize / 2), std::abs(at / kSize - kSize / 2)});
    }
  EXPECT_GT(differ, 20) << "the cursor is in the thumbnail";
  EXPECT_LT(farthest, 40) << "more than the cursor is missing";
}

}  // namespace
