// What goes wrong: each failure has its message and leaves the folder as it
// was, an older file of the same name included.
#include "export/painting.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>

#include "tests/export/canvases.h"
#include "tests/support/scratch_dir.h"

namespace {

TEST(ExportPainting, FailuresSayWhatAndLeaveTheFolderAsItWas) {
  ScratchDir scratch;
  const auto canvas = MixedCanvas();
  const Canvas empty;
  // An older export of the same name stays whole when a new one fails.
  std::ofstream(scratch.File("older.glb")) << "older";
  // Folders are asked for (but in the last case): a failed export makes none.
  const auto with = [](const std::function<void(ExportSettings&)>& change) {
    ExportSettings settings = ExportSettingsWithDefaultMaps();
    settings.makeFolders = true;
    if (change) change(settings);
    return settings;
  };
  const ExportSettings good = with({}), flat = with([](ExportSettings& s) { s.reliefSizeMm = 0; });
  const std::string formats = "use .glb, .obj, .ply, .stl or .png";
  const std::string grid = "the relief grid must be 2 to 2048 samples a side";
  const std::string size = "the relief size must be a positive number of millimetres";
  const struct Case {
    const char* name;
    const Canvas& canvas;
    std::string path;
    ExportSettings settings;
    std::string message;
  } cases[] = {
      {"unknown extension", *canvas, scratch.File("new/art.xyz"), good,
       "unknown extension .xyz: " + formats},
      {"no extension", *canvas, scratch.File("art"), good,
       "no extension in \"" + scratch.File("art") + "\": " + formats},
      {"dot in a folder name only", *canvas, scratch.Path() + "/v1.5/art", good,
       "no extension in \"" + scratch.Path() + "/v1.5/art\": " + formats},
      {"nothing drawn", empty, scratch.File("new/art.stl"), good,
       "nothing to export: no stroke is drawn"},
      {"map missing", *canvas, scratch.File("older.glb"),
       with([&](ExportSettings& s) { s.meshMap = scratch.File("no-such-map.bmp"); }),
       "cannot read the map " + scratch.File("no-such-map.bmp")},
      {"grid of one", *canvas, scratch.File("new/art.png"),
       with([](ExportSettings& s) { s.reliefGrid = 1; }), grid},
      {"grid too fine", *canvas, scratch.File("art.stl"),
       with([](ExportSettings& s) { s.reliefGrid = 2049; }), grid},
      {"size zero", *canvas, scratch.File("new/art.stl"), flat, size},
      {"size undefined", *canvas, scratch.File("art.stl"),
       with([](ExportSettings& s) { s.reliefSizeMm = std::nanf(""); }), size},
      {"folders not asked for", *canvas, scratch.File("new/art.glb"),
       ExportSettingsWithDefaultMaps(), "cannot write " + scratch.File("new/art.glb") + ": No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExportPainting(c.canvas, c.path, c.settings), c.message);
    EXPECT_EQ(FolderListing(scratch.Path()), std::vector<std::string>{"older.glb"});
    EXPECT_EQ(Contents(scratch.File("older.glb")), "older");
  }
  // The relief size means nothing to the height map.
  EXPECT_EQ(ExportPainting(*canvas, scratch.File("art.PNG"), flat), "");
}

// A file system of the test's own, mounted over a scratch folder in a
// mount namespace of the test process's own (ctest runs every test in a
// process of its own); unmounted when the object goes. Needs the right to
// mount: where it is missing, `problem` says why and the test skips.
struct Mounted {
  Mounted(const std::string& at, unsigned long flags, const char* options) : where(at) {
    static const int kPrivate = [] {
      if (::unshare(CLONE_NEWNS) != 0) return errno;
      return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 ? 0 : errno;
    }();
    const bool made = kPrivate == 0 && ::mkdir(at.c_str(), 0755) == 0 &&
                      ::mount("none", at.c_str(), "tmpfs", flags, options) == 0;
    const int failed = kPrivate ? kPrivate : made ? 0 : errno;
    if (failed) problem = "cannot mount " + at + ": " + std::strerror(failed);
  }
  ~Mounted() {
    if (problem.empty()) ::umount2(where.c_str(), MNT_DETACH);
  }
  std::string where, problem;
};

TEST(ExportPainting, FailuresOfTheDiskNameTheFileAndTheSystemsReason) {
  ScratchDir scratch;
  const std::string full = scratch.File("full"), readOnly = scratch.File("read-only");
  // One page of room, taken.
  const Mounted fullDisk(full, 0, "size=4k"), readOnlyDisk(readOnly, MS_RDONLY, "size=1m");
  if (!fullDisk.problem.empty()) GTEST_SKIP() << fullDisk.problem;
  ASSERT_EQ(readOnlyDisk.problem, "");
  std::ofstream(full + "/filler") << std::string(4096, 'f');
  ASSERT_EQ(FolderListing(full), std::vector<std::string>{"filler"});
  const auto canvas = MixedCanvas();
  ExportSettings settings = ExportSettingsWithDefaultMaps();
  settings.makeFolders = true;
  const std::string noRoom = ": No space left on device";
  const struct { std::string path, message; } cases[] = {
      {full + "/art.glb", "cannot write " + full + "/art.glb" + noRoom},
      // The maps are written first; the first of them fills the disk.
      {full + "/art.obj", "cannot write " + full + "/art_paint.png" + noRoom},
      {full + "/art.ply", "cannot write " + full + "/art.ply" + noRoom},
      {full + "/art.stl", "cannot write " + full + "/art.stl" + noRoom},
      {full + "/art.png", "cannot write " + full + "/art.png" + noRoom},
      {readOnly + "/art.glb", "cannot write " + readOnly + "/art.glb: Read-only file system"},
      {readOnly + "/new/art.glb", "cannot write " + readOnly +
                                      "/new/art.glb: cannot make the folder " + readOnly +
                                      "/new: Read-only file system"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExportPainting(*canvas, c.path, settings), c.message);
    EXPECT_EQ(FolderListing(full), std::vector<std::string>{"filler"});
  }
}

TEST(ExportPainting, AMeshWhoseFacesPointPastItsVerticesIsLeftOut) {
  ScratchDir scratch;
  Canvas canvas;
  AddPyramid(canvas, 0, 0, 0.1f, 0.2f);
  canvas.strokes[0].subdivision.baseMesh->faces[3].vertex[2] = 12;  // one past the end
  for (const char* name : {"art.glb", "art.stl"})
    EXPECT_EQ(ExportPainting(canvas, scratch.File(name), ExportSettings()),
              "nothing to export: no stroke is drawn");
}

}  // namespace
