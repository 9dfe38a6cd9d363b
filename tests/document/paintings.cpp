#include "tests/document/paintings.h"

#include <gtest/gtest.h>

#include "document/zip_archive.h"
#include "stroke/build.h"
#include "stroke/collisions.h"
#include "tests/support/console.h"
#include "tests/support/fingerprint.h"
#include "tests/support/height_map.h"
#include "tests/support/pictures.h"

void PaintingSession::Paint(float x, float y, float dx, float dy, int nodes, bool collide,
                            float firstPressure) {
  for (int i = 0; i < nodes; ++i)
    canvas->AddPoint(x + dx * i, y + dy * i + 0.03f * static_cast<float>(i % 2),
                     firstPressure + (1.0f - firstPressure) * static_cast<float>(i) / nodes);
  Quietly([&] {
    canvas->CommitStroke(BuildContext{settings, random, HeadlessBuildHooks()});
    if (collide) CheckCollisions(*canvas, factors, settings.subdivisionLevels);
  });
}

Painting PaintingOf(const PaintingSession& session) {
  Painting painting;
  painting.strokes.assign(session.canvas->strokes.begin(),
                          session.canvas->strokes.begin() + session.canvas->count);
  painting.selectedStroke = session.selected;
  painting.settings.stroke = session.settings;
  painting.settings.collisions.factors = session.factors;
  painting.settings.randomState = session.random.State();
  painting.maps = {{MAP_MESH, "Textures/Meshmap/Bump.bmp", SmallBmp(3, 2, 1)},
                   {MAP_PAPER, "textures/papermap/Rough paper.bmp", SmallBmp(2, 2, 2)}};
  painting.filteredPicture = SmallBmp(4, 3, 3);
  painting.thumbnail = TinyPng();
  return painting;
}

void ExpectSamePainting(const Painting& expected, const Painting& actual) {
  ASSERT_EQ(expected.strokes.size(), actual.strokes.size());
  for (std::size_t i = 0; i < expected.strokes.size(); ++i)
    EXPECT_EQ(RecordPrint(expected.strokes[i]), RecordPrint(actual.strokes[i])) << "stroke " << i;
  EXPECT_EQ(expected.selectedStroke, actual.selectedStroke);
  ASSERT_EQ(expected.maps.size(), actual.maps.size());
  for (std::size_t i = 0; i < expected.maps.size(); ++i) {
    const EmbeddedMap &e = expected.maps[i], &a = actual.maps[i];
    EXPECT_TRUE(e.slot == a.slot && e.fileName == a.fileName && e.bmp == a.bmp) << e.fileName;
  }
  EXPECT_EQ(expected.filteredPicture, actual.filteredPicture);
  EXPECT_EQ(expected.thumbnail, actual.thumbnail);
}

Bytes SmallBmp(int width, int height, int seed) {
  Bytes bmp = BmpHeader(width, height, 24, 54, 0);
  bmp.resize(54 + static_cast<std::size_t>((width * 3 + 3) & ~3) * height);
  Put32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
  for (std::size_t i = 54; i < bmp.size(); ++i)
    bmp[i] = static_cast<std::uint8_t>(seed * 37 + i * 11);
  return bmp;
}

Bytes TinyPng() {
  // One white pixel: signature, IHDR, IDAT, IEND.
  return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
          0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
          0x00, 0x90, 0x77, 0x53, 0xDE, 0x00, 0x00, 0x00, 0x0C, 0x49, 0x44, 0x41, 0x54, 0x08,
          0xD7, 0x63, 0xF8, 0xFF, 0xFF, 0x3F, 0x00, 0x05, 0xFE, 0x02, 0xFE, 0xDC, 0xCC, 0x59,
          0xE7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
}

std::vector<ZipEntry> EntriesOf(const Bytes& file) {
  ZipReader reader;
  std::string error;
  std::vector<ZipEntry> entries;
  EXPECT_TRUE(reader.Open(file.data(), file.size(), 100, error)) << error;
  for (const std::string& name : reader.Names()) {
    entries.push_back({name, {}, reader.Stored(name)});
    EXPECT_TRUE(reader.Read(name, 1u << 30, entries.back().bytes, error)) << error;
  }
  return entries;
}

Bytes Zipped(const std::vector<ZipEntry>& entries) {
  ZipWriter writer;
  for (const ZipEntry& e : entries)
    writer.Add(e.name, e.bytes.data(), e.bytes.size(),
               e.stored ? ZipWriter::Packing::kStored : ZipWriter::Packing::kDeflated);
  Bytes file;
  std::string error;
  EXPECT_TRUE(writer.Finish(file, error)) << error;
  return file;
}

ZipEntry* Find(std::vector<ZipEntry>& entries, const std::string& name) {
  for (ZipEntry& e : entries)
    if (e.name == name) return &e;
  ADD_FAILURE() << "no entry " << name;
  return nullptr;
}
