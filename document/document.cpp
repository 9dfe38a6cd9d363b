#include "document/document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iterator>
#include <string_view>

#include "common/version.h"
#include "document/byte_stream.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "document/manifest.h"
#include "document/picture_check.h"
#include "document/zip_archive.h"

namespace {

constexpr char kMimeTypeEntry[] = "mimetype";
constexpr char kManifestEntry[] = "manifest.json";

bool Present(const std::shared_ptr<const Bytes>& bytes) { return bytes && !bytes->empty(); }

// ---- Saving ---------------------------------------------------------------------------

bool IsEmbeddedSlot(MapSlot slot) {
  for (const MapSlot embedded : kEmbeddedMapSlots)
    if (slot == embedded) return true;
  return false;
}

// What would keep the file from opening again, found before writing it.
std::string SnapshotProblem(const PaintingSnapshot& snapshot) {
  if (snapshot.strokes.size() > static_cast<std::size_t>(kStrokeCountLimit))
    return std::to_string(snapshot.strokes.size()) + " strokes, more than a canvas holds";
  // A selection past the strokes is kept: deleting keeps the selection,
  // and the next strokes painted take it up.
  if (snapshot.selectedStroke < 0 || snapshot.selectedStroke > kStrokeCountLimit)
    return "stroke " + std::to_string(snapshot.selectedStroke) + " is selected";
  for (std::size_t i = 0; i < snapshot.strokes.size(); ++i)
    if (!snapshot.strokes[i] || !snapshot.strokes[i]->finite)
      return "stroke " + std::to_string(i + 1) + " holds a number that is not finite";
  bool seen[MAP_SLOT_COUNT] = {};
  for (const auto& map : snapshot.maps) {
    if (!map || !IsEmbeddedSlot(map->slot)) return "a map of a slot no painting embeds";
    if (seen[map->slot]) return "two maps of one slot";
    seen[map->slot] = true;
  }
  return "";
}

// u32 count, then each record with its u32 length before it.
Bytes StrokesEntry(const PaintingSnapshot& snapshot) {
  std::size_t total = 4;
  for (const auto& stroke : snapshot.strokes) total += 4 + stroke->bytes.size();
  Bytes entry;
  entry.reserve(total);
  ByteWriter out(entry);
  out.U32(static_cast<std::uint32_t>(snapshot.strokes.size()));
  for (const auto& stroke : snapshot.strokes) {
    out.U32(static_cast<std::uint32_t>(stroke->bytes.size()));
    out.Raw(stroke->bytes.data(), stroke->bytes.size());
  }
  return entry;
}

Manifest ManifestOf(const PaintingSnapshot& snapshot) {
  Manifest manifest;
  manifest.writer = std::string("Kelvra ") + KELVRA_VERSION;
  manifest.settings = snapshot.settings;
  manifest.strokeCount = snapshot.strokes.size();
  manifest.selectedStroke = snapshot.selectedStroke;
  for (const auto& map : snapshot.maps) manifest.maps.push_back({map->slot, map->fileName, {}});
  manifest.filteredPicture = Present(snapshot.filteredPicture);
  manifest.thumbnail = Present(snapshot.thumbnail);
  return manifest;
}

}  // namespace

PaintingSnapshot SnapshotOf(const Painting& painting) {
  PaintingSnapshot snapshot;
  for (const Stroke& stroke : painting.strokes) snapshot.strokes.push_back(EncodeStroke(stroke));
  snapshot.selectedStroke = painting.selectedStroke;
  snapshot.settings = painting.settings;
  for (const EmbeddedMap& map : painting.maps)
    snapshot.maps.push_back(std::make_shared<const EmbeddedMap>(map));
  snapshot.filteredPicture = std::make_shared<const Bytes>(painting.filteredPicture);
  snapshot.thumbnail = std::make_shared<const Bytes>(painting.thumbnail);
  return snapshot;
}

bool EncodePainting(const PaintingSnapshot& snapshot, Bytes& file, std::string& error) {
  error = SnapshotProblem(snapshot);
  if (!error.empty()) return false;
  std::string manifest;
  if (!WriteManifest(ManifestOf(snapshot), manifest, error)) return false;
  const Bytes strokes = StrokesEntry(snapshot);
  const auto bytesOf = [](const std::string& text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
  };
  const std::string mimeType = kPaintingMimeType;
  // The type first and stored, so that it can be told from the file's
  // first bytes; the strokes stored too: floats barely shrink, and opening
  // then reads them without inflating.
  ZipWriter zip;
  zip.Add(kMimeTypeEntry, bytesOf(mimeType), mimeType.size(), ZipWriter::Packing::kStored);
  zip.Add(kManifestEntry, bytesOf(manifest), manifest.size(), ZipWriter::Packing::kDeflated);
  zip.Add(kStrokesEntry, strokes.data(), strokes.size(), ZipWriter::Packing::kStored);
  for (const auto& map : snapshot.maps)
    zip.Add(MapEntryName(map->slot), map->bmp.data(), map->bmp.size(),
            ZipWriter::Packing::kDeflated);
  if (Present(snapshot.filteredPicture))
    zip.Add(kFilteredEntry, snapshot.filteredPicture->data(), snapshot.filteredPicture->size(),
            ZipWriter::Packing::kDeflated);
  if (Present(snapshot.thumbnail))
    zip.Add(kThumbnailEntry, snapshot.thumbnail->data(), snapshot.thumbnail->size(),
            ZipWriter::Packing::kStored);
  return zip.Finish(file, error);
}

bool SavePainting(const std::string& path, const PaintingSnapshot& snapshot, std::string& error) {
  Bytes file;
  if (!EncodePainting(snapshot, file, error)) {
    error = "cannot save " + path + ": " + error;
    return false;
  }
  return WriteFileWhole(path, file, &error, "save");
}

bool SavePainting(const std::string& path, const Painting& painting, std::string& error) {
  return SavePainting(path, SnapshotOf(painting), error);
}

namespace {

// ---- Opening --------------------------------------------------------------------------

// Every reader's first step, once the archive is open with its names and
// sizes checked: its first entry says it is a painting.
bool CheckPaintingType(const ZipReader& zip, std::string& error) {
  const std::string expected = kPaintingMimeType;
  if (zip.Names().empty() || zip.Names().front() != kMimeTypeEntry) {
    error = "not a Kelvra painting (its first entry is not \"mimetype\")";
    return false;
  }
  Bytes type;
  if (!zip.Read(kMimeTypeEntry, 256, type, error)) return false;
  if (std::string(type.begin(), type.end()) != expected) {
    error = "not a Kelvra painting (its type is not " + expected + ")";
    return false;
  }
  return true;
}

// The file at `path` for reading, or null with the system's reason. Only a
// regular file is read: a folder is refused as such, and a named pipe,
// which would keep the reader waiting for a writer, is not waited for.
std::FILE* OpenRegularFile(const std::string& path, std::string& reason) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) {
    reason = std::strerror(errno);
    return nullptr;
  }
  struct stat info;
  std::FILE* file = nullptr;
  if (::fstat(descriptor, &info) != 0)
    reason = std::strerror(errno);
  else if (!S_ISREG(info.st_mode))
    reason = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file";
  else if (!(file = ::fdopen(descriptor, "rb")))
    reason = std::strerror(errno);
  if (!file) ::close(descriptor);
  return file;
}

// "" with the thumbnail entry's PNG bytes in `png`, or what is wrong.
std::string ThumbnailEntryProblem(const ZipReader& zip, const DocumentLimits& limits, Bytes& png) {
  if (!zip.Has(kThumbnailEntry)) return "it holds no thumbnail";
  std::string problem;
  if (!zip.Read(kThumbnailEntry, limits.thumbnailBytes, png, problem)) return problem;
  problem = PngProblem(png);
  return problem.empty() ? "" : std::string("entry \"") + kThumbnailEntry + "\" " + problem;
}

// One open of one file: every step reads into `painting` and stops at the
// first problem, kept in `error`; the caller hands the painting out only
// when there was none.
class Opening {
 public:
  Opening(const DocumentLimits& limits, Painting& painting, std::string& note, std::string& error)
      : limits_(limits), painting_(painting), note_(note), error_(error) {}

  bool Run(const std::uint8_t* data, std::size_t size);

 private:
  bool Fail(const std::string& what) {
    error_ = what;
    return false;
  }
  bool Read(const char* name, std::uint64_t cap, Bytes& out) {
    if (!zip_.Has(name)) return Fail(std::string("no entry \"") + name + "\"");
    return zip_.Read(name, cap, out, error_);
  }
  bool ReadManifestEntry();
  bool Strokes();
  bool MeshesWithinCaps();
  bool Pictures();

  const DocumentLimits& limits_;
  Painting& painting_;
  std::string& note_;
  std::string& error_;
  ZipReader zip_;
  Manifest manifest_;
};

bool Opening::ReadManifestEntry() {
  Bytes text;
  if (!Read(kManifestEntry, limits_.manifestBytes, text)) return false;
  if (!ReadManifest(text, manifest_, error_)) return false;
  if (manifest_.formatMinor > kFormatMinor)
    note_ = "written by " + manifest_.writer + " in format " +
            std::to_string(manifest_.formatMajor) + "." + std::to_string(manifest_.formatMinor) +
            ", newer than this Kelvra's " + std::to_string(kFormatMajor) + "." +
            std::to_string(kFormatMinor) + ": what it added is left out";
  return true;
}

bool Opening::Strokes() {
  Bytes entry;
  if (!Read(kStrokesEntry, limits_.strokesBytes, entry)) return false;
  ByteReader in(entry.data(), entry.size());
  const std::uint32_t count = in.U32();
  if (in.Failed()) return Fail("the strokes entry is empty");
  if (count != manifest_.strokeCount)
    return Fail("the strokes entry holds " + std::to_string(count) + " strokes, the manifest " +
                std::to_string(manifest_.strokeCount));
  if (count > limits_.strokes)
    return Fail(std::to_string(count) + " strokes, more than " + std::to_string(limits_.strokes));
  // Each record takes at least its length and flags.
  if (!in.Holds(count, 8)) return Fail("the strokes entry ends before its strokes");
  painting_.strokes.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string which = "stroke " + std::to_string(i + 1) + ": ";
    const std::uint32_t length = in.U32();
    if (in.Failed() || !in.Holds(length, 1))
      return Fail(which + "the strokes entry ends inside its record");
    const std::uint8_t* record = in.Here();
    std::string problem;
    if (!DecodeStroke(record, length, manifest_.formatMinor, limits_, painting_.strokes[i], problem))
      return Fail(which + problem);
    in.Skip(length);
  }
  if (in.Left() > 0) return Fail("the strokes entry has bytes past its last stroke");
  return true;
}

bool Opening::MeshesWithinCaps() {
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < painting_.strokes.size(); ++i) {
    const std::uint64_t bytes = MeshBytes(painting_.strokes[i]);
    if (bytes > limits_.meshBytesPerStroke)
      return Fail("stroke " + std::to_string(i + 1) + ": its meshes would take " +
                  std::to_string(bytes) + " bytes, more than " +
                  std::to_string(limits_.meshBytesPerStroke));
    total += bytes;
    if (total > limits_.meshBytesPerPainting)
      return Fail("the meshes would take more than " +
                  std::to_string(limits_.meshBytesPerPainting) + " bytes");
  }
  return true;
}

bool Opening::Pictures() {
  for (EmbeddedMap& map : manifest_.maps) {
    const std::string name = MapEntryName(map.slot);
    if (!Read(name.c_str(), limits_.pictureBytes, map.bmp)) return false;
    const std::string problem = BmpProblem(map.bmp, BmpUse::kMap);
    if (!problem.empty()) return Fail("entry \"" + name + "\" " + problem);
  }
  painting_.maps = std::move(manifest_.maps);
  if (manifest_.filteredPicture) {
    if (!Read(kFilteredEntry, limits_.pictureBytes, painting_.filteredPicture)) return false;
    const std::string problem = BmpProblem(painting_.filteredPicture, BmpUse::kPicture);
    if (!problem.empty()) return Fail(std::string("entry \"") + kFilteredEntry + "\" " + problem);
  }
  if (manifest_.thumbnail) {
    if (!Read(kThumbnailEntry, limits_.thumbnailBytes, painting_.thumbnail)) return false;
    const std::string problem = PngProblem(painting_.thumbnail);
    if (!problem.empty()) return Fail(std::string("entry \"") + kThumbnailEntry + "\" " + problem);
  }
  return true;
}

bool Opening::Run(const std::uint8_t* data, std::size_t size) {
  if (!zip_.Open(data, size, limits_.entries, error_) || !CheckPaintingType(zip_, error_) ||
      !ReadManifestEntry() || !Strokes() || !MeshesWithinCaps() || !Pictures())
    return false;
  painting_.selectedStroke = manifest_.selectedStroke;
  painting_.settings = manifest_.settings;
  // Last, once everything else is known good: the meshes, the one costly
  // step.
  for (Stroke& stroke : painting_.strokes) RebuildStroke(stroke);
  return true;
}

}  // namespace

OpenedPainting ReadPainting(const std::uint8_t* data, std::size_t size, const std::string& fileName,
                            const DocumentLimits& limits) {
  OpenedPainting opened;
  Painting painting;
  std::string problem;
  Opening opening(limits, painting, opened.note, problem);
  if (!opening.Run(data, size)) {
    opened.error = fileName + ": " + problem;
    opened.note.clear();
    return opened;
  }
  if (!opened.note.empty()) opened.note = fileName + ": " + opened.note;
  opened.painting = std::move(painting);
  return opened;
}

OpenedPainting OpenPainting(const std::string& path, const DocumentLimits& limits) {
  Bytes file;
  // The file is as large as its entries at most, and those are capped.
  const std::uint64_t cap = limits.manifestBytes + limits.strokesBytes + limits.thumbnailBytes +
                            (std::size(kEmbeddedMapSlots) + 1) * limits.pictureBytes + (1u << 20);
  if (const std::string reason = ReadWholeFile(path, cap, &file); !reason.empty()) {
    OpenedPainting failed;
    failed.error = "cannot open " + path + ": " + reason;
    return failed;
  }
  OpenedPainting opened = ReadPainting(file.data(), file.size(), path, limits);
  opened.fileHash = HashOfBytes(file);
  return opened;
}

std::uint64_t HashOfBytes(const Bytes& bytes) {
  return std::hash<std::string_view>()(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool ReadThumbnail(const std::string& path, Bytes& png, std::string& error,
                   const DocumentLimits& limits) {
  std::string reason;
  std::FILE* file = OpenRegularFile(path, reason);
  if (!file) {
    error = "cannot open " + path + ": " + reason;
    return false;
  }
  ZipReader zip;
  std::string problem;
  if (zip.Open(file, limits.entries, problem) && CheckPaintingType(zip, problem))
    problem = ThumbnailEntryProblem(zip, limits, png);
  if (problem.empty()) return true;
  png.clear();
  error = path + ": " + problem;
  return false;
}
