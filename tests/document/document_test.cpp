// Saving and opening paintings: what opening gives back, the stroke record
// as laid out in docs/painting-format.md, and files of other versions.
#include "document/document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <thread>

#include "document/byte_stream.h"
#include "document/manifest.h"
#include "document/stroke_record.h"
#include "tests/document/paintings.h"
#include "tests/support/pictures.h"
#include "tests/support/settings.h"

namespace {

using nlohmann::json;

OpenedPainting SaveAndOpen(const Painting& painting) {
  Bytes file;
  std::string error;
  EXPECT_TRUE(EncodePainting(SnapshotOf(painting), file, error)) << error;
  return ReadPainting(file.data(), file.size(), "test.kelvra");
}

// Over seeded sessions of the painter's operations, opening a saved
// painting gives back every stroke record field by field, its meshes
// rebuilt from what the file keeps.
TEST(PaintingDocument, OpeningASavedPaintingGivesBackEveryStrokeAndMesh) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 dice(seed);
    PaintingSession session;
    for (int i = 0, actions = 4 + static_cast<int>(dice() % 14); i < actions; ++i)
      session.RandomAction(dice);
    const Painting painting = PaintingOf(session);
    const OpenedPainting opened = SaveAndOpen(painting);
    ASSERT_TRUE(opened.Ok()) << opened.error;
    EXPECT_EQ(opened.note, "");
    ExpectSamePainting(painting, opened.painting);
    if (HasFailure()) return;
  }
}

// Every setting away from its start value, in numbers that need all their
// digits, comes back exactly.
TEST(PaintingDocument, EverySettingComesBackExactly) {
  Painting painting;
  MoveEverySetting(painting.settings);
  const auto start = SettingValues(PaintingSettings());
  const auto moved = SettingValues(painting.settings);
  ASSERT_EQ(start.size(), moved.size());
  for (std::size_t i = 0; i < start.size(); ++i) EXPECT_NE(start[i], moved[i]) << start[i].first;
  const OpenedPainting opened = SaveAndOpen(painting);
  ASSERT_TRUE(opened.Ok()) << opened.error;
  EXPECT_EQ(SettingValues(opened.painting.settings), moved);
}

// A field missing from a group's visit would be neither saved nor read:
// every byte of the settings, whose groups hold every other group, belongs
// to a visited field or is padding (the bytes that differ between settings
// made in differently filled memory).
TEST(SettingsList, VisitsEveryField) {
  const auto bytesIn = [](unsigned char fill) {
    alignas(PaintingSettings) unsigned char memory[sizeof(PaintingSettings)];
    std::memset(memory, fill, sizeof memory);
    auto* made = new (memory) PaintingSettings;
    std::vector<unsigned char> bytes(memory, memory + sizeof memory);
    made->~PaintingSettings();
    return bytes;
  };
  PaintingSettings settings;
  std::vector<bool> visited(sizeof settings, false);
  for (const auto& [offset, size] : VisitedSettingBytes(settings)) {
    for (std::size_t b = offset; b < offset + size; ++b) {
      EXPECT_FALSE(visited[b]) << "byte " << b << " visited twice";
      visited[b] = true;
    }
  }
  const auto zeros = bytesIn(0x00), ones = bytesIn(0xFF);
  for (std::size_t b = 0; b < sizeof settings; ++b)
    EXPECT_TRUE(visited[b] || zeros[b] != ones[b]) << "byte " << b << " belongs to no field";
}

// Every map of the data set, whatever its depth (the papers include an
// 8-bit palette picture), is a map a painting carries and opens again, in
// every slot at once.
TEST(PaintingDocument, EveryMapOfTheDataSetIsCarriedAndOpensAgain) {
  const char* const files[] = {"textures/papermap/Tinted8.bmp", "textures/papermap/Paper.bmp",
                               "textures/meshmap/Bump.bmp", "textures/partmap/Brush.bmp"};
  Painting painting;
  for (MapSlot slot : kEmbeddedMapSlots) {
    const char* file = files[painting.maps.size() % std::size(files)];
    painting.maps.push_back({slot, file, ReadBytes(file)});
    ASSERT_FALSE(painting.maps.back().bmp.empty()) << file;
  }
  const OpenedPainting opened = SaveAndOpen(painting);
  ASSERT_TRUE(opened.Ok()) << opened.error;
  ExpectSamePainting(painting, opened.painting);
}

// The stroke a record opens to, in format 1.`minor`; a refused record
// fails the test.
Stroke Decoded(const Bytes& record, std::size_t size, int minor = kFormatMinor) {
  Stroke stroke;
  std::string error;
  EXPECT_TRUE(DecodeStroke(record.data(), size, minor, DocumentLimits(), stroke, error)) << error;
  return stroke;
}

// A record worked out by hand from the documented layout: a stroke of
// resolution 2 with one node, no mesh and no particles.
TEST(StrokeRecord, IsLaidOutAsDocumented) {
  const std::uint32_t one = 0x3F800000, half = 0x3F000000;
  std::vector<std::uint32_t> words = {0,          1, 2,          2,
                                      0,          5,  // flags, type, S, S, levels, sprite
                                      0x3D23D70A, 0, 0x3CCCCCCD, 0};  // 0.04, 0, 0.025, 0
  words.resize(words.size() + 16, 0);                                 // bounds
  for (std::uint32_t w : {2u, 0u, half}) words.push_back(w);          // profile 0, 0.5
  for (std::uint32_t w : {2u, one, 0u, 0u, one, one, 0u, 0u, one}) words.push_back(w);
  for (std::uint32_t w : {2u, 0u, 0u, one, one, 0u, 0u, one, one}) words.push_back(w);
  for (int list = 0; list < 2; ++list) {  // nodes, then path: one node at (0.5, −0.25)
    for (std::uint32_t w : {1u, half, 0xBE800000u}) words.push_back(w);
    words.resize(words.size() + 15, 0);
  }
  for (std::uint32_t w : {0u, half, half}) words.push_back(w);  // particles; pressures
  Bytes record;
  ByteWriter out(record);
  for (std::uint32_t w : words) out.U32(w);

  Stroke stroke;
  stroke.renderType = kRenderMesh;
  stroke.shapeResolution = stroke.size.resolution = 2;
  stroke.profile = {0.0f, 0.5f};
  stroke.size.startColours.assign(2, Vec4(1, 0, 0, 1));
  stroke.size.endColours.assign(2, Vec4(0, 0, 1, 1));
  stroke.size.widthStart = 0.04f;
  stroke.size.heightStart = 0.025f;
  StrokeNode node;
  node.position = Vec4(0.5f, -0.25f, 0, 0);
  node.pressure = 0.5f;
  stroke.nodes = stroke.path = {node};
  EXPECT_EQ(EncodeStroke(stroke)->bytes, record);
  ExpectSameStroke(stroke, Decoded(record, record.size()));
  // A deleted stroke keeps what "Update" brings back; a record of its flag
  // alone opens as an empty deleted stroke.
  Stroke deleted = stroke;
  deleted.deleted = 1;
  const Bytes deletedRecord = EncodeStroke(deleted)->bytes;
  EXPECT_EQ(Bytes(deletedRecord.begin() + 4, deletedRecord.end()),
            Bytes(record.begin() + 4, record.end()));
  ExpectSameStroke(deleted, Decoded(deletedRecord, deletedRecord.size()));
  Stroke expectedEmpty;
  expectedEmpty.deleted = 1;
  ExpectSameStroke(expectedEmpty, Decoded({1, 0, 0, 0}, 4));
  EXPECT_EQ(EncodeStroke(Stroke())->bytes.size(), 128u) << "an empty stroke: 32 words";
  // The same record in format 1.0 has no pressures, and its nodes press fully.
  stroke.nodes[0].pressure = stroke.path[0].pressure = 1.0f;
  ExpectSameStroke(stroke, Decoded(record, record.size() - 8, 0));
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

// The autosave's way: one stroke re-encoded into a kept snapshot, which
// its thread writes while the painting it came from changes and goes,
// gives the same file as encoding the changed painting whole.
TEST(PaintingDocument, ASnapshotWithOneStrokeReencodedIsWrittenOnAnotherThread) {
  std::mt19937 dice(7);
  PaintingSession session;
  for (int i = 0; i < 12; ++i) session.RandomAction(dice);
  session.Paint(-0.5f, 0.2f, 0.2f, 0.0f, 5);
  auto painting = std::make_unique<Painting>(PaintingOf(session));
  PaintingSnapshot kept = SnapshotOf(*painting);
  painting->strokes.back().size.widthStart = 0.5f;
  kept.strokes.back() = EncodeStroke(painting->strokes.back());
  const Painting changed = *painting;
  Bytes incremental, whole;
  std::string error;
  bool written = false;
  std::thread writer([&] { written = EncodePainting(kept, incremental, error); });
  painting.reset();
  writer.join();
  ASSERT_TRUE(written) << error;
  ASSERT_TRUE(EncodePainting(SnapshotOf(changed), whole, error)) << error;
  EXPECT_TRUE(incremental == whole);
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
  Bytes file;
  std::string error;
  ASSERT_TRUE(EncodePainting(SnapshotOf(painting), file, error)) << error;
  std::vector<ZipEntry> entries = EntriesOf(file);
  json manifest = json::parse(Find(entries, "manifest.json")->bytes);
  manifest["format"]["minor"] = 3;
  manifest["writer"] = "Kelvra 1.4.0";
  manifest["layers"] = {{"name", "background"}, {"opacity", 0.5}};
  manifest["settings"]["stroke"]["brushTilt"] = 12;
  manifest["settings"]["ambience"] = "dusk";
  const std::string text = manifest.dump();
  Find(entries, "manifest.json")->bytes.assign(text.begin(), text.end());
  const Bytes ourStrokes = Find(entries, "strokes.bin")->bytes;
  Find(entries, "strokes.bin")->bytes = WithLongerRecords(ourStrokes, 12);
  entries.push_back({"layers/background.bin", {1, 2, 3}, false});

  Bytes newer = Zipped(entries);
  OpenedPainting opened = ReadPainting(newer.data(), newer.size(), "newer.kelvra");
  ASSERT_TRUE(opened.Ok()) << opened.error;
  EXPECT_EQ(opened.note,
            "newer.kelvra: written by Kelvra 1.4.0 in format 1.3, newer than this Kelvra's 1.1: "
            "what it added is left out");
  ExpectSamePainting(painting, opened.painting);

  manifest["format"]["minor"] = kFormatMinor;
  const std::string ours = manifest.dump();
  Find(entries, "manifest.json")->bytes.assign(ours.begin(), ours.end());
  const Bytes claimed = Zipped(entries);
  opened = ReadPainting(claimed.data(), claimed.size(), "claimed.kelvra");
  EXPECT_EQ(opened.error, "claimed.kelvra: stroke 1: 12 bytes past the record's end");

  // Only the version, the count and the strokes: every setting its default.
  const std::string bare = R"({"format": {"major": 1, "minor": 1}, "strokeCount": 2})";
  Find(entries, "manifest.json")->bytes.assign(bare.begin(), bare.end());
  Find(entries, "strokes.bin")->bytes = ourStrokes;
  const Bytes minimal = Zipped(entries);
  opened = ReadPainting(minimal.data(), minimal.size(), "bare.kelvra");
  ASSERT_TRUE(opened.Ok()) << opened.error;
  EXPECT_EQ(SettingValues(opened.painting.settings), SettingValues(PaintingSettings()));
  EXPECT_TRUE(opened.painting.maps.empty() && opened.painting.thumbnail.empty());
  EXPECT_EQ(opened.painting.strokes.size(), 2u);
}

}  // namespace
