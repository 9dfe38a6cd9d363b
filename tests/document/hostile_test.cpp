// Files a painting never is: each is refused, whole, with one line naming
// the file and what is wrong, before anything is allocated on its word.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <nlohmann/json.hpp>

#include "document/byte_stream.h"
#include "document/document.h"
#include "tests/document/paintings.h"

namespace {

using nlohmann::json;

Bytes ValidFile() {
  PaintingSession session;
  session.Paint(-0.5f, 0.0f, 0.2f, 0.05f, 5);
  session.Paint(0.0f, -0.5f, 0.05f, 0.2f, 4, true);
  Bytes file;
  std::string error;
  EXPECT_TRUE(EncodePainting(SnapshotOf(PaintingOf(session)), file, error)) << error;
  return file;
}

Bytes WithEntries(const std::function<void(std::vector<ZipEntry>&)>& edit) {
  std::vector<ZipEntry> entries = EntriesOf(ValidFile());
  edit(entries);
  return Zipped(entries);
}

void EditManifest(std::vector<ZipEntry>& entries, const std::function<void(json&)>& edit) {
  json manifest = json::parse(Find(entries, "manifest.json")->bytes);
  edit(manifest);
  const std::string text = manifest.dump();
  Find(entries, "manifest.json")->bytes.assign(text.begin(), text.end());
}

// The valid file with these stroke records instead of its own.
Bytes WithRecords(const std::vector<Bytes>& records) {
  Bytes strokes;
  ByteWriter out(strokes);
  out.U32(static_cast<std::uint32_t>(records.size()));
  for (const Bytes& record : records) {
    out.U32(static_cast<std::uint32_t>(record.size()));
    out.Raw(record.data(), record.size());
  }
  return WithEntries([&](auto& e) {
    EditManifest(e, [&](json& m) { m["strokeCount"] = records.size(), m["selectedStroke"] = 0; });
    Find(e, "strokes.bin")->bytes = strokes;
  });
}

// The record of an empty stroke with 32-bit word `word` set to `value`
// (words: 0 flags, 2 shape resolution, 4 levels, 26 profile count, 29
// nodes count, 30 path count).
Bytes EmptyRecordWith(std::size_t word, std::uint32_t value) {
  Bytes record = EncodeStroke(Stroke())->bytes;
  for (int i = 0; i < 4; ++i) record[4 * word + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return record;
}

// A stroke whose rebuilt meshes would be far larger than its record: 500
// path samples, 64 across, five subdivision levels.
Bytes HugeMeshRecord() {
  Stroke stroke;
  stroke.shapeResolution = stroke.size.resolution = 64;
  stroke.profile.assign(64, 0.5f);
  stroke.size.startColours.assign(64, Vec4(1, 1, 1, 1));
  stroke.size.endColours = stroke.size.startColours;
  for (int i = 0; i < 500; ++i) {
    StrokeNode node;
    node.position = Vec4(0.001f * i, 0, 0, 0);
    stroke.path.push_back(node);
  }
  stroke.subdivision.levels = 5;
  stroke.subdivision.baseMesh.emplace();
  return EncodeStroke(stroke)->bytes;
}

// Where each entry's local header starts, and where the central directory
// does: the boundaries a file can be cut at.
std::vector<std::size_t> EntryBoundaries(const Bytes& file) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i + 4 <= file.size(); ++i)
    if (file[i] == 'P' && file[i + 1] == 'K' &&
        ((file[i + 2] == 3 && file[i + 3] == 4) || (file[i + 2] == 1 && file[i + 3] == 2) ||
         (file[i + 2] == 5 && file[i + 3] == 6)))
      at.push_back(i);
  return at;
}

// The valid file with one more entry named `name`, which no zip writer
// would write: written under a stand-in as long, every occurrence of which
// (headers name an entry twice) is then overwritten.
Bytes WithEntryNamed(const std::string& name) {
  std::string standIn = name;
  for (char& c : standIn)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = 'q';
  Bytes file = WithEntries([&](auto& e) { e.push_back({standIn, {1}, false}); });
  for (std::size_t i = 0; i + name.size() <= file.size(); ++i)
    if (std::memcmp(file.data() + i, standIn.data(), standIn.size()) == 0)
      std::memcpy(file.data() + i, name.data(), name.size());
  return file;
}

// The entry's uncompressed size (and its compressed size, when
// `compressedToo`), as both its headers declare it.
Bytes Declaring(Bytes file, const std::string& name, std::uint32_t size,
                bool compressedToo = false) {
  const auto put = [&file](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  for (std::size_t i : EntryBoundaries(file)) {
    const bool local = file[i + 2] == 3, central = file[i + 2] == 1;
    const std::size_t nameAt = i + (local ? 30 : 46);
    if ((local || central) && nameAt + name.size() <= file.size() &&
        std::memcmp(file.data() + nameAt, name.data(), name.size()) == 0) {
      put(i + (local ? 22 : 24), size);
      if (compressedToo) put(i + (local ? 18 : 20), size);
    }
  }
  return file;
}

// Where the entry's data starts: past its local header, name and extra
// field.
std::size_t DataOf(const Bytes& file, const std::string& name) {
  for (std::size_t i : EntryBoundaries(file))
    if (file[i + 2] == 3 && std::memcmp(file.data() + i + 30, name.data(), name.size()) == 0)
      return i + 30 + name.size() + (file[i + 28] | file[i + 29] << 8);
  ADD_FAILURE() << "no entry " << name;
  return 0;
}

TEST(HostileFiles, EachIsRefusedWithOneLineSayingWhatIsWrong) {
  const Bytes valid = ValidFile();
  Bytes bigBmp = SmallBmp(2, 2, 0), eightBit = SmallBmp(2, 2, 0), oneBit = SmallBmp(2, 2, 0);
  bigBmp[18] = bigBmp[22] = 0x20, bigBmp[19] = bigBmp[23] = 0x4E;  // 20000 × 20000
  eightBit[28] = 8;
  oneBit[28] = 1;
  Bytes shortBmp = SmallBmp(4, 3, 3);
  shortBmp.resize(60);
  Bytes damaged = valid;
  damaged[DataOf(valid, "strokes.bin") + 20] ^= 0x40;
  const Bytes empty = EncodeStroke(Stroke())->bytes;
  Bytes nan = empty;
  nan[24 + 3] = 0x7F, nan[24 + 2] = 0xC0;  // size.widthStart

  const auto manifest = [](const std::function<void(json&)>& edit) {
    return WithEntries([&](auto& e) { EditManifest(e, edit); });
  };
  const auto set = [&](const char* pointer, json value) {
    return manifest([&](json& m) { m[json::json_pointer(pointer)] = value; });
  };
  const auto patched = [&](json patch) { return manifest([&](json& m) { m.merge_patch(patch); }); };
  const auto replaced = [](const char* name, const Bytes& bytes) {
    return WithEntries([&](auto& e) { Find(e, name)->bytes = bytes; });
  };
  const auto record = [](const Bytes& bytes) { return WithRecords({bytes}); };
  std::vector<std::pair<Bytes, std::string>> table = {  // a file, what its message says
      {Bytes(300, 'x'), "not a zip archive ("},
      {Bytes(), "the file is empty"},
      {Bytes(valid.begin(), valid.begin() + 300), "the file is cut short or damaged ("},
      {WithEntries([](auto& e) { std::swap(e[0], e[1]); }),
       "not a Kelvra painting (its first entry is not \"mimetype\")"},
      {replaced("mimetype", {'t', 'e', 'x', 't'}),
       "not a Kelvra painting (its type is not application/x-kelvra-painting)"},
      {patched({{"format", {{"major", 2}, {"minor", 0}}}, {"writer", "Kelvra 9.1.0"}}),
       "written by Kelvra 9.1.0 in format 2.0; this Kelvra reads format 1 only"},
      {patched({{"format", {{"major", 3}, {"minor", 0}}}, {"writer", "K\n3"}}),
       "written by K?3 in format 3.0"},
      {manifest([](json& m) { m.erase("format"); }), "manifest names no format version"},
      {manifest([](json& m) { m["format"].erase("major"); }), "which no Kelvra wrote"},
      {set("/strokeCount", 20000), "manifest: \"strokeCount\" is 20000, more than 19999"},
      {set("/strokeCount", 3), "the strokes entry holds 2 strokes, the manifest 3"},
      {set("/selectedStroke", 20000), "manifest: \"selectedStroke\" is 20000, not 0 to 19999"},
      {set("/settings/stroke/pathLod", 1000),
       "manifest: \"settings.stroke.pathLod\" is 1000, not 1 to 64"},
      {set("/settings/camera/fovy", 1e39),
       "manifest: \"settings.camera.fovy\" is too large for a float"},
      {set("/settings/display", "on"), "manifest: \"settings.display\" is not an object"},
      {set("/x", json::parse(std::string(40, '[') + std::string(40, ']'))),
       "manifest nests deeper than 16 levels"},
      {set("/maps/0/slot", "grid"), "manifest: \"maps[0].slot\" names no slot a painting embeds"},
      {set("/thumbnail", "../thumbnail.png"), "manifest: \"thumbnail\" is not \"thumbnail.png\""},
      {set("/maps/-", {{"slot", "height"}, {"name", "h.bmp"}}), "no entry \"maps/height.bmp\""},
      {record(EmptyRecordWith(30, 0xFFFFFFFF)), "path counts 4294967295, more than 4194304"},
      {WithRecords({Bytes(), empty}), "stroke 1: record is empty"},
      {record(EmptyRecordWith(30, 1000)), "path counts 1000 but the record ends before them"},
      {record(EmptyRecordWith(4, 6)), "stroke 1: 6 subdivision levels, not 0 to 5"},
      {record(EmptyRecordWith(0, 6)), "stroke 1: unknown flags 6"},
      {record(EmptyRecordWith(2, 2)),
       "stroke 1: shape resolution 2 but 0 profile samples and 0 and 0 colours"},
      {record(Bytes(empty.begin(), empty.begin() + 50)), "stroke 1: record ends inside its header"},
      {record(nan), "stroke 1: a number that is not finite (NaN or infinite)"},
      {record(HugeMeshRecord()), "stroke 1: its meshes would take "},
      {WithEntryNamed("../evil.txt"), "entry \"../evil.txt\" climbs out of its folder"},
      {WithEntryNamed("/evil/x.txt"), "entry \"/evil/x.txt\" has an absolute name"},
      {WithEntryNamed("qq\\evil.txt"), "entry \"qq\\evil.txt\" has a backslash in its name"},
      {WithEntryNamed("qq\nevil.txt"), "an entry with a control character in its name"},
      {WithEntryNamed("strokes.bin"), "two entries share one name"},
      {Declaring(valid, "manifest.json", 0x7FFFFFF0),
       "entry \"manifest.json\" declares 2147483632 bytes, more than 1048576"},
      {Declaring(valid, "manifest.json", 1000000),
       "entry \"manifest.json\" declares 1000000 bytes, more than its "},
      // libzip's consistency check, asked for at open, finds the entry
      // running into the directory before anything sizes memory on it.
      {Declaring(valid, "strokes.bin", 100000000, true),
       "the file is cut short or damaged (Not a zip archive)"},
      {damaged, "entry \"strokes.bin\" is damaged ("},
      {replaced("maps/mesh.bmp", bigBmp),
       "entry \"maps/mesh.bmp\" claims 1200000000 bytes of pixels, more than 268435456"},
      {replaced("maps/paper.bmp", oneBit),
       "entry \"maps/paper.bmp\" is a 1-bit BMP; the painter reads 4, 8, 16, 24 and 32 bits here"},
      {replaced("filtered.bmp", eightBit),
       "entry \"filtered.bmp\" is a 8-bit BMP; the painter reads 24 and 32 bits here"},
      {replaced("filtered.bmp", shortBmp),
       "entry \"filtered.bmp\" is a BMP whose pixels are not all there"},
      {replaced("thumbnail.png", SmallBmp(1, 1, 0)),
       "entry \"thumbnail.png\" is not a PNG picture"},
  };
  // Cut at the start of every entry, of the central directory and of its
  // end record, and one byte short.
  std::vector<std::size_t> cuts = EntryBoundaries(valid);
  ASSERT_GE(cuts.size(), 13u) << "7 entries, their directory records, the end record";
  cuts.push_back(valid.size() - 1);
  for (std::size_t cut : cuts) table.push_back({Bytes(valid.begin(), valid.begin() + cut), ""});
  for (const auto& [file, expected] : table) {
    SCOPED_TRACE(expected);
    const OpenedPainting opened = ReadPainting(file.data(), file.size(), "hostile.kelvra");
    EXPECT_TRUE(!opened.Ok() && opened.painting.strokes.empty()) << "nothing half-read goes out";
    EXPECT_TRUE(opened.error.rfind("hostile.kelvra: ", 0) == 0 &&
                opened.error.find(expected) != std::string::npos &&
                opened.error.find('\n') == std::string::npos)
        << opened.error;
  }
}

}  // namespace
