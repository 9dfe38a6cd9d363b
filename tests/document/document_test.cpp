// Saving and opening paintings: what opening gives back, the stroke record
// as laid out in docs/painting-format.md, and files of other versions.
#include "document/document.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <tuple>

#include "document/byte_stream.h"
#include "document/manifest.h"
#include "document/stroke_record.h"
#include "tests/document/paintings.h"

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

std::array<float, 4> Parts(const Vec4& v) { return {v.x, v.y, v.z, v.w}; }

void ExpectSameSettings(const PaintingSettings& e, const PaintingSettings& a) {
  const StrokeSettings &s = e.stroke, &t = a.stroke;
  EXPECT_EQ(
      std::tie(s.pathLod, s.shapeLod, s.subdivisionLevels, s.endNode, s.showParticles, s.showMesh,
               s.randomSize, s.widthStart, s.widthEnd, s.heightStart, s.heightEnd),
      std::tie(t.pathLod, t.shapeLod, t.subdivisionLevels, t.endNode, t.showParticles, t.showMesh,
               t.randomSize, t.widthStart, t.widthEnd, t.heightStart, t.heightEnd));
  EXPECT_EQ(Parts(s.startColour), Parts(t.startColour));
  EXPECT_EQ(Parts(s.endColour), Parts(t.endColour));
  const CollisionFactors &f = e.collisionFactors, &g = a.collisionFactors;
  EXPECT_EQ(std::tie(e.collideAfterStroke, f.widthStart, f.widthEnd, f.heightStart, f.heightEnd),
            std::tie(a.collideAfterStroke, g.widthStart, g.widthEnd, g.heightStart, g.heightEnd));
  const DisplayToggles &d = e.display, &h = a.display;
  EXPECT_EQ(std::tie(d.lightOn, d.paperOn, d.axesOn, d.cursorOn, d.showNodes),
            std::tie(h.lightOn, h.paperOn, h.axesOn, h.cursorOn, h.showNodes));
  EXPECT_TRUE(std::equal(e.light.rotation, e.light.rotation + 16, a.light.rotation));
  EXPECT_TRUE(std::equal(e.light.position, e.light.position + 4, a.light.position));
  const PaintingCamera &c = e.camera, &k = a.camera;
  for (const auto& [p, q] :
       {std::pair(&c.eye, &k.eye), std::pair(&c.upPoint, &k.upPoint),
        std::pair(&c.sidePoint, &k.sidePoint), std::pair(&c.target, &k.target)})
    EXPECT_EQ(Parts(*p), Parts(*q));
  EXPECT_EQ(std::tie(c.fovy, c.zNear, c.zFar, c.spin[0], c.spin[1], c.spin[2]),
            std::tie(k.fovy, k.zNear, k.zFar, k.spin[0], k.spin[1], k.spin[2]));
  EXPECT_EQ(std::tie(e.primitiveMode, e.colourMarkerX, e.colourMarkerY, e.randomState),
            std::tie(a.primitiveMode, a.colourMarkerX, a.colourMarkerY, a.randomState));
}

// Every setting away from its start value, and floats that need all their
// digits, come back exactly.
TEST(PaintingDocument, EverySettingComesBackExactly) {
  Painting painting;
  PaintingSettings& s = painting.settings;
  s.stroke = {64,
              1,
              5,
              0,
              1,
              0,
              1,
              0.1f,
              1.0f / 3.0f,
              -0.025f,
              1e-30f,
              Vec4(0.1f, 0.2f, 0.3f, 0.4f),
              Vec4(1, 0.5f, 0.25f, 3.4e38f)};
  s.collideAfterStroke = 1;
  s.collisionFactors = {0.7f, 2.5f, -1.0f, 1.0f / 7.0f};
  s.display = {0, 1, 1, 0, 1};
  for (int i = 0; i < 16; ++i) s.light.rotation[i] = 0.01f * static_cast<float>(i * i) - 0.5f;
  for (int i = 0; i < 4; ++i) s.light.position[i] = std::nextafter(static_cast<float>(i), 9.0f);
  s.camera.eye = Vec4(0.3f, -0.2f, 2.5f, 0.0f);
  s.camera.target = Vec4(0.1f, 0.1f, -1e-7f, 0.0f);
  s.camera.fovy = 35.5f;
  s.camera.zNear = 0.05f;
  s.camera.zFar = 1234.5678901234;
  s.camera.spin[0] = -3;
  s.camera.spin[2] = 2000000000;
  s.primitiveMode = kPolygonModeLine;
  s.colourMarkerX = 0.999f;
  s.colourMarkerY = 3.75f;
  s.randomState = 0xFEDCBA98u;
  const OpenedPainting opened = SaveAndOpen(painting);
  ASSERT_TRUE(opened.Ok()) << opened.error;
  ExpectSameSettings(painting.settings, opened.painting.settings);
}

// Every map of the data set, whatever its depth (the papers include an
// 8-bit palette picture), is a map a painting carries and opens again.
TEST(PaintingDocument, EveryMapOfTheDataSetIsCarriedAndOpensAgain) {
  for (const char* file :
       {"textures/papermap/Tinted8.bmp", "textures/papermap/Paper.bmp",
        "textures/meshmap/Bump.bmp", "textures/partmap/Brush.bmp"}) {
    SCOPED_TRACE(file);
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in.good());
    Painting painting;
    painting.maps.push_back(
        EmbeddedMap{MAP_PAPER, file, Bytes(std::istreambuf_iterator<char>(in), {})});
    const OpenedPainting opened = SaveAndOpen(painting);
    ASSERT_TRUE(opened.Ok()) << opened.error;
    ASSERT_EQ(opened.painting.maps.size(), 1u);
    EXPECT_EQ(opened.painting.maps[0].bmp, painting.maps[0].bmp);
  }
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
  words.push_back(0);                                         // particles
  for (std::uint32_t w : {half, half}) words.push_back(w);  // pressures: node, path entry
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
  Stroke decoded;
  std::string error;
  ASSERT_TRUE(
      DecodeStroke(record.data(), record.size(), kFormatMinor, DocumentLimits(), decoded, error))
      << error;
  ExpectSameStroke(stroke, decoded);
  // The same record in format 1.0 has no pressures, and its nodes press fully.
  Stroke older;
  ASSERT_TRUE(DecodeStroke(record.data(), record.size() - 8, 0, DocumentLimits(), older, error));
  stroke.nodes[0].pressure = stroke.path[0].pressure = 1.0f;
  ExpectSameStroke(stroke, older);
  stroke.nodes[0].pressure = stroke.path[0].pressure = 0.5f;
  EXPECT_EQ(EncodeStroke(Stroke())->bytes.size(), 128u) << "an empty stroke: 32 words";
  // A deleted stroke keeps what "Update" brings back; a record of its flag
  // alone opens as an empty deleted stroke.
  Stroke deleted = stroke;
  deleted.deleted = 1;
  const Bytes deletedRecord = EncodeStroke(deleted)->bytes;
  EXPECT_EQ(Bytes(deletedRecord.begin() + 4, deletedRecord.end()),
            Bytes(record.begin() + 4, record.end()));
  Stroke reopened;
  ASSERT_TRUE(DecodeStroke(deletedRecord.data(), deletedRecord.size(), kFormatMinor, DocumentLimits(),
                           reopened, error));
  ExpectSameStroke(deleted, reopened);
  const Bytes flagAlone{1, 0, 0, 0};
  Stroke empty;
  ASSERT_TRUE(
      DecodeStroke(flagAlone.data(), flagAlone.size(), kFormatMinor, DocumentLimits(), empty, error));
  Stroke expectedEmpty;
  expectedEmpty.deleted = 1;
  ExpectSameStroke(expectedEmpty, empty);
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
    EXPECT_TRUE(DecodeStroke(record.data(), record.size(), kFormatMinor, limits, decoded, error)) << error;
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
  painting.settings.camera.fovy = INFINITY;
  EXPECT_FALSE(EncodePainting(SnapshotOf(painting), file, error));
  EXPECT_EQ(error, "a setting is not a finite number");
  painting.settings.camera.fovy = 60.0f;
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
  ExpectSameSettings(PaintingSettings(), opened.painting.settings);
  EXPECT_TRUE(opened.painting.maps.empty() && opened.painting.thumbnail.empty());
  EXPECT_EQ(opened.painting.strokes.size(), 2u);
}

}  // namespace
