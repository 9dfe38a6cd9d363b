// Saving and opening paintings: what opening gives back, what a stroke
// record may hold, what a save refuses, files of other versions, and a
// save that cannot complete, which leaves the old file as it was and says
// why in the system's words. (The record's layout is held by the files in
// golden/.)
#include "document/document.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <new>
#include <nlohmann/json.hpp>
#include <random>

#include "document/byte_stream.h"
#include "document/manifest.h"
#include "document/stroke_record.h"
#include "tests/document/paintings.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings.h"

namespace {

using nlohmann::json;

Bytes Encoded(const Painting& painting) {
  Bytes file;
  std::string error;
  EXPECT_TRUE(EncodePainting(SnapshotOf(painting), file, error)) << error;
  return file;
}

// Every setting away from its start value, in numbers that need all their
// digits, and every map of the data set in every slot at once, whatever its
// depth (the papers include an 8-bit palette picture), come back exactly.
TEST(PaintingDocument, EverySettingAndEveryMapComesBackExactly) {
  const char* const files[] = {"textures/papermap/Tinted8.bmp", "textures/papermap/Paper.bmp",
                               "textures/meshmap/Bump.bmp", "textures/partmap/Brush.bmp"};
  Painting painting;
  MoveEverySetting(painting.settings);
  const auto start = SettingValues(PaintingSettings()), moved = SettingValues(painting.settings);
  for (std::size_t i = 0; i < start.size(); ++i) EXPECT_NE(start[i], moved[i]) << start[i].first;
  for (MapSlot slot : kEmbeddedMapSlots) {
    const char* file = files[painting.maps.size() % std::size(files)];
    painting.maps.push_back({slot, file, ReadBytes(file)});
    ASSERT_FALSE(painting.maps.back().bmp.empty()) << file;
  }
  const Bytes file = Encoded(painting);
  const OpenedPainting opened = ReadPainting(file.data(), file.size(), "test.kelvra");
  ASSERT_TRUE(opened.Ok()) << opened.error;
  EXPECT_EQ(SettingValues(opened.painting.settings), moved);
  ExpectSamePainting(painting, opened.painting);
}

// A field missing from a group's visit would be neither saved nor read:
// every byte of the settings, whose groups hold every other group, belongs
// to a visited field or is padding (the bytes that differ between settings
// made in differently filled memory).
TEST(SettingsList, VisitsEveryField) {
  const auto bytesIn = [](unsigned char fill) {
    alignas(PaintingSettings) unsigned char memory[sizeof(PaintingSettings)];
    std::memset(memory, fill, sizeof memory);
    new (memory) PaintingSettings;  // plain numbers: nothing to destroy
    return std::vector<unsigned char>(memory, memory + sizeof memory);
  };
  PaintingSettings settings;
  std::vector<bool> visited(sizeof settings, false);
  for (const auto& [offset, size] : VisitedSettingBytes(settings))
    for (std::size_t b = offset; b < offset + size; ++b) {
      EXPECT_FALSE(visited[b]) << "byte " << b << " visited twice";
      visited[b] = true;
    }
  const auto zeros = bytesIn(0x00), ones = bytesIn(0xFF);
  for (std::size_t b = 0; b < sizeof settings; ++b)
    EXPECT_TRUE(visited[b] || zeros[b] != ones[b]) << "byte " << b << " belongs to no field";
}

// A count may reach its cap and no further; the mesh bytes a record is
// weighed by are those its rebuilt meshes take, at every level.
TEST(StrokeRecord, CountsReachTheirCapsAndMeshesWeighWhatTheyBuild) {
  PaintingSession session;
  for (int levels = 0; levels <= 2; ++levels) {
    session.settings.subdivisionLevels = levels;
    session.Paint(-0.5f, 0.1f * levels, 0.2f, 0.05f, 4);
  }
  for (int i = 0; i < session.canvas->count; ++i) {
    SCOPED_TRACE(i);
    const Stroke& stroke = session.canvas->strokes[i];
    std::uint64_t built = 0;
    for (const auto* mesh : {&stroke.subdivision.baseMesh, &stroke.subdivision.resultMesh})
      if (*mesh)
        built += std::uint64_t((*mesh)->vertexCount) * 4 * sizeof(Vec4) +
                 std::uint64_t((*mesh)->faceCount) * sizeof(MeshFace);
    EXPECT_EQ(MeshBytes(stroke), built);

    const Bytes record = EncodeStroke(stroke)->bytes;
    DocumentLimits limits;
    limits.nodesPerStroke = stroke.nodes.size();
    limits.pathSamplesPerStroke = stroke.path.size();
    limits.shapeResolution = stroke.shapeResolution;
    limits.subdivisionLevels = stroke.subdivision.levels;
    Stroke decoded;
    std::string error;
    EXPECT_TRUE(DecodeStroke(record.data(), record.size(), kFormatMinor, limits, decoded, error))
        << error;
    limits.pathSamplesPerStroke -= 1;
    EXPECT_FALSE(DecodeStroke(record.data(), record.size(), kFormatMinor, limits, decoded, error));
  }
}

TEST(PaintingDocument, ASaveRefusesWhatCouldNotBeOpenedAgain) {
  Painting painting;
  painting.strokes.resize(2);
  painting.strokes[1].size.heightEnd = std::nanf("");
  Bytes file;
  std::string error;
  EXPECT_FALSE(EncodePainting(SnapshotOf(painting), file, error));
  EXPECT_EQ(error, "stroke 2 holds a number that is not finite");
  painting.strokes[1].size.heightEnd = 0.0f;
  painting.settings.camera.pose.fovy = INFINITY;
  EXPECT_FALSE(EncodePainting(SnapshotOf(painting), file, error));
  EXPECT_EQ(error, "a setting is not a finite number");
  painting.settings.camera.pose.fovy = 60.0f;
  painting.maps.push_back({MAP_GRID, "Textures/Grid.bmp", SmallBmp(1, 1, 0)});
  EXPECT_FALSE(EncodePainting(SnapshotOf(painting), file, error));
  EXPECT_EQ(error, "a map of a slot no painting embeds");
}

// The strokes entry with `extra` bytes after every record, as a newer
// minor format may add fields.
Bytes WithLongerRecords(const Bytes& strokes, std::size_t extra) {
  ByteReader in(strokes.data(), strokes.size());
  Bytes out;
  ByteWriter writer(out);
  const std::uint32_t count = in.U32();
  writer.U32(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t length = in.U32();
    writer.U32(static_cast<std::uint32_t>(length + extra));
    writer.Raw(in.Here(), length);
    in.Skip(length);
    out.resize(out.size() + extra, 0xAB);
  }
  return out;
}

// A newer minor format adds fields, entries and record bytes: the file
// opens with a note, what it added left out; the same file claiming our
// own version is refused for the bytes past its records.
TEST(PaintingDocument, ANewerMinorFormatOpensWithANoteAndMissingFieldsTakeTheirDefaults) {
  PaintingSession session;
  session.Paint(-0.5f, 0.0f, 0.2f, 0.05f, 6);
  session.Paint(0.0f, -0.5f, 0.05f, 0.2f, 5, true);
  const Painting painting = PaintingOf(session);
  std::vector<ZipEntry> entries = EntriesOf(Encoded(painting));
  const auto openedWith = [&entries](const json& manifest, const char* name) {
    const std::string text = manifest.dump();
    Find(entries, "manifest.json")->bytes.assign(text.begin(), text.end());
    const Bytes file = Zipped(entries);
    return ReadPainting(file.data(), file.size(), name);
  };
  json manifest = json::parse(Find(entries, "manifest.json")->bytes);
  manifest["format"]["minor"] = 3;
  manifest["writer"] = "Kelvra 1.4.0";
  manifest["layers"] = {{"name", "background"}, {"opacity", 0.5}};
  manifest["settings"]["stroke"]["brushTilt"] = 12;
  manifest["settings"]["ambience"] = "dusk";
  const Bytes ourStrokes = Find(entries, "strokes.bin")->bytes;
  Find(entries, "strokes.bin")->bytes = WithLongerRecords(ourStrokes, 12);
  entries.push_back({"layers/background.bin", {1, 2, 3}, false});
  OpenedPainting opened = openedWith(manifest, "newer.kelvra");
  ASSERT_TRUE(opened.Ok()) << opened.error;
  EXPECT_EQ(opened.note,
            "newer.kelvra: written by Kelvra 1.4.0 in format 1.3, newer than this Kelvra's 1.1: "
            "what it added is left out");
  ExpectSamePainting(painting, opened.painting);

  manifest["format"]["minor"] = kFormatMinor;
  EXPECT_EQ(openedWith(manifest, "claimed.kelvra").error,
            "claimed.kelvra: stroke 1: 12 bytes past the record's end");

  // Only the version, the count and the strokes: every setting its default.
  Find(entries, "strokes.bin")->bytes = ourStrokes;
  opened = openedWith(json::parse(R"({"format": {"major": 1, "minor": 1}, "strokeCount": 2})"),
                      "bare.kelvra");
  ASSERT_TRUE(opened.Ok()) << opened.error;
  EXPECT_EQ(SettingValues(opened.painting.settings), SettingValues(PaintingSettings()));
  EXPECT_TRUE(opened.painting.maps.empty() && opened.painting.thumbnail.empty());
  EXPECT_EQ(opened.painting.strokes.size(), 2u);
}

Painting SmallPainting() {
  PaintingSession session;
  session.Paint(-0.5f, 0.0f, 0.2f, 0.05f, 5);
  return PaintingOf(session);
}

// A tmpfs of `size` mounted on a fresh folder, unmounted when the object
// goes; it can be made read-only, which holds even for root. Mounting
// needs privileges a test may not have.
class SmallDisk {
 public:
  explicit SmallDisk(const char* size) {
    mounted_ = ::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, size) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.Path().c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  void MakeReadOnly() {
    ::mount("tmpfs", dir_.Path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr);
  }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  ScratchDir dir_;
  bool mounted_ = false;
};

// A disk too full for the save, then one made read-only (root writes into
// any folder whose permissions forbid it, but not into a file system
// mounted read-only; without a mount, a folder others may not write in).
TEST(PaintingFile, ASaveThatCannotCompleteKeepsTheOldFileAndSaysWhy) {
  SmallDisk disk("size=64k");
  ScratchDir plain;
  const bool mounted = disk.Mounted();
  if (!mounted && ::geteuid() == 0) GTEST_SKIP() << "root here, and no tmpfs can be mounted";
  const std::string path = mounted ? disk.File("painting.kelvra") : plain.File("painting.kelvra");
  std::string error;
  ASSERT_TRUE(SavePainting(path, SmallPainting(), error)) << error;
  const Bytes old = ReadBytes(path);
  if (mounted) {
    // A thumbnail is stored as it is: 200 kB that do not compress, past
    // what the disk has left.
    Painting larger = SmallPainting();
    std::mt19937 noise(1);
    for (int i = 0; i < 200000; ++i) larger.thumbnail.push_back(static_cast<std::uint8_t>(noise()));
    EXPECT_FALSE(SavePainting(path, larger, error));
    EXPECT_EQ(error, "cannot save " + path + ": No space left on device");
    EXPECT_TRUE(ReadBytes(path) == old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.File("")), {}), 1)
        << "no temporary file left behind";
    disk.MakeReadOnly();
  } else {
    ::chmod(plain.Path().c_str(), 0555);
  }
  EXPECT_FALSE(SavePainting(path, Painting(), error));
  EXPECT_EQ(error, "cannot save " + path + ": " +
                       (mounted ? "Read-only file system" : "Permission denied"));
  EXPECT_TRUE(ReadBytes(path) == old);
  ::chmod(plain.Path().c_str(), 0755);
}

}  // namespace
