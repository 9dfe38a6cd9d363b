// libFuzzer target: opening painting files. Most mutations of a zip break
// a checksum and stop at the first entry, so the first byte chooses what
// the rest is:
//   0: a whole file;
//   1: the manifest of a file whose other entries are sound;
//   2: the strokes entry of such a file (its stroke count in the
//      manifest, the format's minor number from the second byte).
// Whatever opens must be a painting that saves and opens again to the
// same number of strokes; whatever fails must say so in one line naming
// the file. Either broken rule stops the fuzzer.
//
// The corpus in tests/fuzz/corpus/document is replayed through this same
// function by the document corpus test in every build.
#include <cstdint>
#include <string>

#include "document/manifest.h"
#include "document/zip_archive.h"
#include "tests/fuzz/fuzz_rules.h"

namespace {

Bytes SmallBmp() {
  Bytes bmp(54 + 8, 0);
  bmp[0] = 'B', bmp[1] = 'M', bmp[10] = 54, bmp[14] = 40, bmp[18] = 2, bmp[22] = 1;
  bmp[26] = 1, bmp[28] = 24;
  return bmp;
}

// A file with the given manifest and strokes entry, every map, the
// filtered picture and a thumbnail present and sound.
Bytes FileWith(const std::string& manifest, const Bytes& strokes) {
  static const std::string mimeType = kPaintingMimeType;
  static const Bytes bmp = SmallBmp();
  static const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ZipWriter zip;
  const auto bytesOf = [](const std::string& text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
  };
  zip.Add("mimetype", bytesOf(mimeType), mimeType.size(), ZipWriter::Packing::kStored);
  zip.Add("manifest.json", bytesOf(manifest), manifest.size(), ZipWriter::Packing::kStored);
  zip.Add("strokes.bin", strokes.data(), strokes.size(), ZipWriter::Packing::kStored);
  for (MapSlot slot : kEmbeddedMapSlots)
    zip.Add(MapEntryName(slot), bmp.data(), bmp.size(), ZipWriter::Packing::kStored);
  zip.Add(kFilteredEntry, bmp.data(), bmp.size(), ZipWriter::Packing::kStored);
  zip.Add("thumbnail.png", png.data(), png.size(), ZipWriter::Packing::kStored);
  Bytes file;
  std::string error;
  zip.Finish(file, error);
  return file;
}

Bytes FileFor(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t mode = data[0] % 3;
  ++data, --size;
  if (mode == 0) return Bytes(data, data + size);
  if (mode == 1) return FileWith(std::string(data, data + size), Bytes{0, 0, 0, 0});
  const int minor = size > 0 ? data[0] % 3 : 0;
  std::uint32_t count = 0;
  for (std::size_t i = 0; i < 4 && i < size; ++i) count |= std::uint32_t(data[i]) << (8 * i);
  const std::string manifest = R"({"format": {"major": 1, "minor": )" + std::to_string(minor) +
                               R"(}, "strokeCount": )" + std::to_string(count % 20000) + "}";
  return FileWith(manifest, Bytes(data, data + size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Bytes file = FileFor(data, size);
  const DocumentLimits limits = FuzzLimits();
  const OpenedPainting opened = ReadPainting(file.data(), file.size(), "fuzz.kelvra", limits);
  if (!opened.Ok()) {
    Check(opened.error.rfind("fuzz.kelvra: ", 0) == 0);
    Check(opened.error.find('\n') == std::string::npos);
    Check(opened.painting.strokes.empty());
    return 0;
  }
  Bytes again;
  std::string error;
  Check(EncodePainting(SnapshotOf(opened.painting), again, error));
  const OpenedPainting reopened = ReadPainting(again.data(), again.size(), "again", limits);
  Check(reopened.Ok());
  Check(reopened.painting.strokes.size() == opened.painting.strokes.size());
  return 0;
}
