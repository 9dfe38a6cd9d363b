// What goes wrong: each failure has its message and leaves the folder as it
// was, an older file of the same name included.
#include "export/painting.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "tests/export/canvases.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string Contents(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

TEST(ExportPainting, FailuresSayWhatAndLeaveTheFolderAsItWas) {
  ScratchDir scratch;
  const auto canvas = MixedCanvas();
  const Canvas empty;
  // An older export of the same name stays whole when a new one fails.
  std::ofstream(scratch.File("older.glb")) << "older";
  auto with = [](auto change) {
    ExportSettings settings = ExportSettingsWithDefaultMaps();
    change(settings);
    return settings;
  };
  const ExportSettings good = with([](ExportSettings&) {});
  const ExportSettings missingMap =
      with([&](ExportSettings& s) { s.meshMap = scratch.File("no-such-map.bmp"); });
  const ExportSettings coarse = with([](ExportSettings& s) { s.reliefGrid = 1; });
  const ExportSettings fine = with([](ExportSettings& s) { s.reliefGrid = 2049; });
  const ExportSettings flat = with([](ExportSettings& s) { s.reliefSizeMm = 0; });
  const ExportSettings undefinedSize =
      with([](ExportSettings& s) { s.reliefSizeMm = std::nanf(""); });
  const std::string formats = "use .glb, .obj, .ply, .stl or .png";
  struct Case {
    const char* name;
    const Canvas& canvas;
    std::string path;
    const ExportSettings& settings;
    std::string message;
  } cases[] = {
      {"unknown extension", *canvas, scratch.File("art.xyz"), good,
       "unknown extension .xyz: " + formats},
      {"no extension", *canvas, scratch.File("art"), good,
       "no extension in \"" + scratch.File("art") + "\": " + formats},
      {"dot in a folder name only", *canvas, scratch.Path() + "/v1.5/art", good,
       "no extension in \"" + scratch.Path() + "/v1.5/art\": " + formats},
      {"missing folder", *canvas, scratch.File("missing/art.glb"), good,
       "cannot write " + scratch.File("missing/art.glb") + ": No such file or directory"},
      {"nothing drawn", empty, scratch.File("art.stl"), good,
       "nothing to export: no stroke is drawn"},
      {"map missing", *canvas, scratch.File("older.glb"), missingMap,
       "cannot read the map " + scratch.File("no-such-map.bmp")},
      {"grid of one", *canvas, scratch.File("art.png"), coarse,
       "the relief grid must be 2 to 2048 samples a side"},
      {"grid too fine", *canvas, scratch.File("art.stl"), fine,
       "the relief grid must be 2 to 2048 samples a side"},
      {"size zero", *canvas, scratch.File("art.stl"), flat,
       "the relief size must be a positive number of millimetres"},
      {"size undefined", *canvas, scratch.File("art.stl"), undefinedSize,
       "the relief size must be a positive number of millimetres"},
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

TEST(ExportPainting, ObjWhoseFileCannotBeRenamedTakesItsCompanionsBack) {
  ScratchDir scratch;
  const auto canvas = MixedCanvas();
  const ExportSettings settings = ExportSettingsWithDefaultMaps();
  // A folder of the OBJ's name: the library and maps are renamed into
  // place first, then the OBJ cannot be.
  ASSERT_EQ(::mkdir(scratch.File("art.obj").c_str(), 0755), 0);
  const std::string error = ExportPainting(*canvas, scratch.File("art.obj"), settings);
  EXPECT_EQ(error, "cannot write " + scratch.File("art.obj") + ": Is a directory");
  EXPECT_EQ(FolderListing(scratch.Path()), std::vector<std::string>{"art.obj"});
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
