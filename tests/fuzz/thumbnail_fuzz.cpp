// libFuzzer target: what kelvra-thumbnailer does with a file a file
// manager hands it, for every file of every folder it shows: the
// thumbnail read from the painting file (through a file, as the
// thumbnailer reads it: only the archive's directory and one entry), the
// PNG decoded and fitted into a square of the size the first byte gives.
// Mutations mostly break a checksum, so the first byte's lowest bit
// chooses what the rest is: 0 the whole file, 1 the thumbnail's PNG with
// its chunks' checksums made right, put into a sound painting file.
// A refusal must be one line naming the file; a picture must fit its
// square. Either broken rule stops the fuzzer.
//
// The corpus in tests/fuzz/corpus/thumbnail is replayed through this same
// function by thumbnail_corpus_tests in every build.
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <string>

#include "document/manifest.h"
#include "document/zip_archive.h"
#include "export/png.h"
#include "tests/fuzz/fuzz_rules.h"

namespace {

// The file's bytes as a file of its own, without touching the disk.
struct MemoryFile {
  int descriptor = ::memfd_create("painting", MFD_CLOEXEC);
  ~MemoryFile() { ::close(descriptor); }
};

// The PNG's chunks as far as they go, each given its right CRC, so that
// mutations reach the decoder instead of stopping at a checksum.
Bytes WithRightChecksums(const std::uint8_t* data, std::size_t size) {
  Bytes png(data, data + size);
  for (std::size_t at = 8; at + 12 <= png.size();) {
    std::uint64_t length = 0;  // big-endian
    for (int i = 0; i < 4; ++i) length = length << 8 | png[at + i];
    if (length > png.size() - at - 12) break;
    const uLong crc = crc32(0, png.data() + at + 4, static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i)
      png[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
  return png;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int square = 1 + data[0] / 2;
  Bytes painting(data + 1, data + size);
  if (data[0] & 1) {
    const std::string type = kPaintingMimeType;
    ZipWriter zip;
    zip.Add("mimetype", reinterpret_cast<const std::uint8_t*>(type.data()), type.size(),
            ZipWriter::Packing::kStored);
    const Bytes png = WithRightChecksums(data + 1, size - 1);
    zip.Add(kThumbnailEntry, png.data(), png.size(), ZipWriter::Packing::kStored);
    std::string error;
    Check(zip.Finish(painting, error));
  }
  const MemoryFile file;
  Check(::write(file.descriptor, painting.data(), painting.size()) == ssize_t(painting.size()));
  const std::string path = "/proc/self/fd/" + std::to_string(file.descriptor);
  Bytes png;
  std::string error;
  if (ReadThumbnail(path, png, error, FuzzLimits())) {
    RgbaPicture picture;
    if (DecodePng(png, 1024 * 1024, picture, error)) {
      Check(picture.pixels.size() == std::size_t{4} * picture.width * picture.height);
      const RgbaPicture fitted = FitWithin(picture, square);
      Check(fitted.width >= 1 && fitted.height >= 1 && fitted.width <= square &&
            fitted.height <= square);
      Check(fitted.pixels.size() == std::size_t{4} * fitted.width * fitted.height);
      return 0;
    }
    error = path + ": " + error;
  }
  Check(!error.empty() && error.find('\n') == std::string::npos &&
        error.find(path) != std::string::npos);
  return 0;
}
