// Brushes as a person meets them, in process on a hidden window with the
// data set's maps: a brush file reads back every setting of the lists, a
// broken one is refused and changes nothing, the person's own are listed
// first and a shipped one is never written, a missing map leaves the rest
// applied, and every shipped brush paints the stroke its picture shows.

#include "actions/brushes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "actions/brush_picture.h"
#include "app/shell.h"
#include "app/view.h"
#include "export/png.h"
#include "platform/files.h"
#include "tests/support/painter.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings.h"

namespace {

constexpr int kSize = 128;

std::string TextOf(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A brush whose every setting is moved from its start value, with names for
// its maps and a picture of a few pixels.
Brush MovedBrush() {
  Brush brush;
  MoveEverySetting(brush.settings);
  brush.maps[0] = "Pebble.bmp";
  brush.maps[1] = "Linen.bmp";
  brush.picture = EncodePng8(2, 1, 3, {10, 20, 30, 40, 50, 60});
  return brush;
}

// What a brush can change in the painter: its settings and maps.
std::vector<std::pair<std::string, std::string>> BrushPartOfState() {
  auto values = SettingValues(BrushSettingsOfState(AppState()));
  for (const BrushMapSlot& map : kBrushMapSlots)
    values.emplace_back(map.key, AppState().maps.files[map.slot]);
  return values;
}

class Brushes : public PainterTest {
 protected:
  void SetUp() override {
    PainterTest::SetUp();
    textures_.emplace();
    ::setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    ::setenv("KELVRA_SHIPPED_BRUSHES", shipped_.Path().c_str(), 1);
    AppState().windows.main.width = AppState().windows.main.height = kSize;
    Quietly([] {
      InitScene();
      OnReshape(kSize, kSize);
      LoadAllMaps(AppState().maps);
    });
  }
  void TearDown() override {
    ::unsetenv("KELVRA_SHIPPED_BRUSHES");
    ::unsetenv("XDG_DATA_HOME");
    textures_.reset();
    PainterTest::TearDown();
  }
  const std::string repository_ = std::filesystem::current_path().string();
  ScratchDir data_, shipped_;
  std::optional<ScratchTextureTree> textures_;
};

// A brush file reads back every setting of the lists, its maps and its
// picture. Applying or importing a broken file says what is wrong with it,
// naming it, and leaves the settings, the maps and the person's folder as
// they were.
TEST_F(Brushes, AFileReadsBackWholeABrokenOneIsRefusedAndAMissingMapIsNamed) {
  const Brush saved = MovedBrush();
  Bytes good;
  std::string error;
  ASSERT_TRUE(EncodeBrush(saved, good, error)) << error;
  Brush read;
  ASSERT_TRUE(DecodeBrush(good, read, error)) << error;
  EXPECT_EQ(SettingValues(read.settings), SettingValues(saved.settings));
  EXPECT_TRUE(std::equal(read.maps, read.maps + kBrushMapCount, saved.maps));
  EXPECT_EQ(read.picture, saved.picture);

  const std::string text = TextOf(good);
  const auto replaced = [&text](const std::string& from, const std::string& to) {
    std::string changed = text;
    const std::size_t at = changed.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? changed : changed.replace(at, from.size(), to);
  };
  Brush withHugePicture = MovedBrush();
  withHugePicture.picture = EncodePng8(100000, 1, 3, Bytes(300000, 0));
  Bytes hugeFile;
  ASSERT_TRUE(EncodeBrush(withHugePicture, hugeFile, error));
  const std::pair<std::string, std::string> cases[] = {
      // a file and why it is refused
      {text.substr(0, text.size() / 2), "it is not a JSON object (cut short, or not a brush)"},
      {replaced("\"pathLod\": 64", "\"pathLod\": \"64\""),
       "\"settings.stroke.pathLod\" is not a whole number"},
      {replaced("\"pathLod\": 64", "\"pathLod\": 65"),
       "\"settings.stroke.pathLod\" is 65, not 1 to 64"},
      {replaced("\"pathLod\": 64", "\"pathLod\": 1e999"),
       "it is not a JSON object (cut short, or not a brush)"},
      {replaced("\"Pebble.bmp\"", "\"../../etc/passwd\""),
       "\"maps.mesh\" is a path, not a file name within its folder"},
      {TextOf(hugeFile), "\"picture\" is a picture of 100000 x 1 pixels, not 1 to 512 a side"},
      {text + std::string(kBrushFileBytes, ' '),
       "it holds " + std::to_string(text.size() + kBrushFileBytes) + " bytes, more than " +
           std::to_string(kBrushFileBytes)},
      {replaced("\"major\": 1", "\"major\": 2"),
       "it is in brush format 2.0; this Kelvra reads format 1 only"},
      {"{\"maps\": {}}", "it names no format version: not a brush"},
  };
  const auto before = BrushPartOfState();
  const std::string path = data_.File("broken.kelvra-brush");
  for (const auto& [file, reason] : cases) {
    SCOPED_TRACE(reason);
    std::ofstream(path, std::ios::binary) << file;
    testing::internal::CaptureStderr();
    for (const FileOutcome& refused :
         {ApplyBrushEntry({"broken", path, false}, "textures/"), ImportBrush(path)}) {
      EXPECT_TRUE(!refused && refused.told.find(path + ": ") != std::string::npos &&
                  refused.told.rfind(reason) == refused.told.size() - reason.size())
          << refused.told;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(BrushPartOfState(), before);
    EXPECT_TRUE(ListBrushes().empty());
  }
  // A map the texture folders lack is named and left as it is; the
  // settings and the other maps apply.
  Brush gone = MovedBrush();
  gone.maps[0] = "Gone.bmp";
  const std::string meshBefore = AppState().maps.files[MAP_MESH];
  testing::internal::CaptureStderr();
  const FileOutcome applied = ApplyBrush(gone, "x", "textures/");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(applied);
  EXPECT_NE(applied.told.find("textures/meshmap/Gone.bmp"), std::string::npos) << applied.told;
  EXPECT_EQ(SettingValues(BrushSettingsOfState(AppState())), SettingValues(gone.settings));
  EXPECT_EQ(AppState().maps.files[MAP_MESH], meshBefore);
  EXPECT_EQ(AppState().maps.files[MAP_DETAIL], "textures/detailmap/Linen.bmp");
}

// The person's own brushes come first, each group by name; saving under a
// shipped brush's name makes the person's own copy, found before the
// shipped one, which stays as it was; an import never replaces a brush.
TEST_F(Brushes, YourOwnAreListedFirstAndAShippedOneIsNeverWritten) {
  std::string error;
  for (const std::string name : {"b", "Apple"})
    ASSERT_TRUE(SaveBrush(shipped_.File(name + kBrushExtension), Brush{}, error)) << error;
  const std::string shippedB = shipped_.File("b.kelvra-brush");
  Bytes shippedBytes, now;
  ASSERT_EQ(ReadWholeFile(shippedB, kBrushFileBytes, &shippedBytes), "");
  testing::internal::CaptureStderr();
  for (const char* name : {"c", " b "}) EXPECT_TRUE(SaveCurrentBrush(OwnBrushPathOf(name).path));
  const FileOutcome again = ImportBrush(shippedB);
  const FileOutcome apple = ImportBrush(shipped_.File("Apple.kelvra-brush"));
  testing::internal::GetCapturedStderr();

  std::vector<std::pair<std::string, bool>> listed;
  for (const BrushEntry& entry : ListBrushes()) listed.emplace_back(entry.name, entry.own);
  const std::vector<std::pair<std::string, bool>> expected = {
      {"Apple", true}, {"b", true}, {"c", true}, {"Apple", false}, {"b", false}};
  EXPECT_EQ(listed, expected);
  EXPECT_TRUE(FindBrush("b")->own);
  ASSERT_EQ(ReadWholeFile(shippedB, kBrushFileBytes, &now), "");
  EXPECT_EQ(now, shippedBytes);
  EXPECT_TRUE(apple);
  EXPECT_FALSE(again);
  EXPECT_NE(again.told.find("you have a brush named b already"), std::string::npos) << again.told;
}

// Each shipped brush, applied, draws a visible stroke, and the picture it carries is that stroke.
// The pictures were drawn by Mesa's llvmpipe; another driver rasterises edges and filters the maps
// a little otherwise, so less than one level of difference on average passes: the two thinnest
// shipped brushes differ by three.
TEST_F(Brushes, EveryShippedBrushPaintsTheStrokeItsPictureShows) {
  ::setenv("KELVRA_SHIPPED_BRUSHES", (repository_ + "/brushes").c_str(), 1);
  const std::vector<BrushEntry> shipped = ListBrushes();
  ASSERT_GE(shipped.size(), 8u);
  for (const BrushEntry& entry : shipped) {
    SCOPED_TRACE(entry.name);
    Brush brush;
    std::string error;
    ASSERT_TRUE(LoadBrush(entry.path, brush, error)) << error;
    testing::internal::CaptureStderr();
    const FileOutcome applied = ApplyBrush(brush, entry.name, "textures/");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(applied.told, "");  // every map found
    RgbaPicture kept, drawn;
    ASSERT_TRUE(DecodePng(brush.picture, 1 << 20, kept, error)) << error;
    ASSERT_TRUE(DecodePng(BrushPicture(AppState().strokeSettings, &error), 1 << 20, drawn, error))
        << error;
    ASSERT_EQ(kept.pixels.size(), drawn.pixels.size());
    long difference = 0, stroke = 0;
    const auto far = [&drawn](std::size_t i, int c) {
      return std::abs(drawn.pixels[i + c] - drawn.pixels[c]);
    };
    for (std::size_t i = 0; i < kept.pixels.size(); ++i) {
      difference += std::abs(kept.pixels[i] - drawn.pixels[i]);
      // The paper is a light grey; a stroke pixel differs from its corner.
      stroke += i % 4 == 0 && far(i, 0) + far(i, 1) + far(i, 2) > 60;
    }
    EXPECT_LT(difference / static_cast<double>(kept.pixels.size()), 1.0);
    // At least a line across three quarters of the picture: the sample
    // stroke spans more, a fine line included.
    EXPECT_GT(stroke, kBrushPictureWidth * 3 / 4);
  }
}

}  // namespace
