#include "document/zip_archive.h"

#include <zip.h>

#include <algorithm>

namespace {

// Deflate gives at most about 1032 bytes from one compressed byte; a
// declared size past that is a lie (or a bomb), refused before reading.
constexpr std::uint64_t kDeflateMostPerByte = 1032;
constexpr std::uint64_t kDeflateSlack = 1024;

// A fixed modification time for every entry (1980-01-02, the zip format's
// earliest date plus a day for time zones), so that the same painting
// gives the same bytes and a regenerated test file shows no change.
constexpr time_t kEntryTime = 315619200;

std::string LibzipReason(zip_error_t* error) {
  const std::string reason = zip_error_strerror(error);
  zip_error_fini(error);
  return reason;
}

std::string ReasonOf(zip_t* archive) { return zip_error_strerror(zip_get_error(archive)); }

// The whole content of a zip source (the finished archive).
bool ReadSource(zip_source_t* source, Bytes& out, std::string& error) {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_source_open(source) < 0 || zip_source_stat(source, &stat) < 0 ||
      !(stat.valid & ZIP_STAT_SIZE)) {
    error = zip_error_strerror(zip_source_error(source));
    return false;
  }
  out.resize(stat.size);
  const zip_int64_t got = zip_source_read(source, out.data(), stat.size);
  zip_source_close(source);
  if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) {
    error = zip_error_strerror(zip_source_error(source));
    return false;
  }
  return true;
}

// A name a painting could hold: a relative path of plain names, so that
// whoever unpacks the file with another tool writes only inside one folder.
std::string NameProblem(const std::string& name) {
  if (name.empty()) return "an entry without a name";
  // Checked first: the other messages quote the name, on one line.
  for (const unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return "an entry with a control character in its name";
  if (name.front() == '/') return "entry \"" + name + "\" has an absolute name";
  if (name.find('\\') != std::string::npos)
    return "entry \"" + name + "\" has a backslash in its name";
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t slash = std::min(name.find('/', start), name.size());
    if (name.compare(start, slash - start, "..") == 0 && slash - start == 2)
      return "entry \"" + name + "\" climbs out of its folder";
    start = slash + 1;
  }
  return "";
}

}  // namespace

void ZipWriter::Add(std::string name, const std::uint8_t* data, std::size_t size, Packing packing) {
  entries_.push_back({std::move(name), data, size, packing});
}

bool ZipWriter::Finish(Bytes& archive, std::string& error) const {
  zip_error_t zipError;
  zip_error_init(&zipError);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
  if (!buffer) {
    error = LibzipReason(&zipError);
    return false;
  }
  zip_t* za = zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError);
  if (!za) {
    zip_source_free(buffer);
    error = LibzipReason(&zipError);
    return false;
  }
  zip_source_keep(buffer);  // zip_close writes into it; we read it after
  bool added = true;
  for (const Entry& entry : entries_) {
    zip_source_t* data = zip_source_buffer(za, entry.data, entry.size, 0);
    const zip_int64_t index =
        data ? zip_file_add(za, entry.name.c_str(), data, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
      if (data) zip_source_free(data);
      added = false;
      break;
    }
    // Level 1: most of a painting is floats, which deflate barely shrinks
    // at any level; the fastest level keeps saving quick.
    const bool deflated = entry.packing == Packing::kDeflated;
    zip_set_file_compression(za, index, deflated ? ZIP_CM_DEFLATE : ZIP_CM_STORE, deflated ? 1 : 0);
    zip_file_set_mtime(za, index, kEntryTime, 0);
  }
  if (!added || zip_close(za) < 0) {
    error = ReasonOf(za);
    zip_discard(za);
    zip_source_free(buffer);
    return false;
  }
  const bool read = ReadSource(buffer, archive, error);
  zip_source_free(buffer);
  return read;
}

ZipReader::~ZipReader() {
  if (archive_)
    zip_discard(archive_);  // frees the source with it
  else if (source_)
    zip_source_free(source_);
}

bool ZipReader::Open(const std::uint8_t* data, std::size_t size, std::uint64_t maxEntries,
                     std::string& error) {
  zip_error_t zipError;
  zip_error_init(&zipError);
  source_ = zip_source_buffer_create(data, size, 0, &zipError);
  if (!source_) {
    error = "not a zip archive (" + LibzipReason(&zipError) + ")";
    return false;
  }
  return OpenSource(maxEntries,
                    std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 4)),
                    size, error);
}

bool ZipReader::Open(std::FILE* file, std::uint64_t maxEntries, std::string& error) {
  zip_error_t zipError;
  zip_error_init(&zipError);
  source_ = zip_source_filep_create(file, 0, -1, &zipError);  // -1: to the file's end
  if (!source_) {
    std::fclose(file);
    error = "not a zip archive (" + LibzipReason(&zipError) + ")";
    return false;
  }
  // The source reads the file from its start, wherever it was left.
  char start[4];
  const std::size_t got = std::fread(start, 1, sizeof start, file);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  return OpenSource(maxEntries, std::string(start, got), size < 0 ? got : size, error);
}

bool ZipReader::OpenSource(std::uint64_t maxEntries, const std::string& start, std::uint64_t size,
                           std::string& error) {
  // Said so, a person knows what to do: a file of no bytes was never
  // written, and one that starts as a zip but has no directory at its end
  // was cut short (a copy or download that stopped).
  if (size == 0) {
    error = "the file is empty";
    return false;
  }
  zip_error_t zipError;
  zip_error_init(&zipError);
  // ZIP_CHECKCONS: every entry's headers must agree and its bytes lie
  // before the directory, so no declared size points past the file.
  archive_ = zip_open_from_source(source_, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
  if (!archive_) {
    // libzip refuses names that come twice as it opens the directory.
    const int code = zip_error_code_zip(&zipError);
    const bool zipStart = start == std::string("PK\3\4", 4);
    error = code == ZIP_ER_EXISTS ? std::string("two entries share one name")
            : zipStart && (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
                ? "the file is cut short or damaged (" + LibzipReason(&zipError) + ")"
                : "not a zip archive (" + LibzipReason(&zipError) + ")";
    return false;
  }
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  if (count < 0 || static_cast<std::uint64_t>(count) > maxEntries) {
    error = std::to_string(count) + " entries, more than the " + std::to_string(maxEntries) +
            " a painting may hold";
    return false;
  }
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    const char* raw = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
    if (!raw || zip_stat_index(archive_, static_cast<zip_uint64_t>(i), 0, &stat) < 0) {
      error = "an entry that cannot be read (" + ReasonOf(archive_) + ")";
      return false;
    }
    const std::string name = raw;
    const std::string problem = NameProblem(name);
    if (!problem.empty()) {
      error = problem;
      return false;
    }
    index_.emplace(name, static_cast<std::uint64_t>(i));
    names_.push_back(name);
  }
  return true;
}

bool ZipReader::Stored(const std::string& name) const {
  zip_stat_t stat;
  return Has(name) && zip_stat_index(archive_, index_.at(name), 0, &stat) == 0 &&
         stat.comp_method == ZIP_CM_STORE;
}

bool ZipReader::Read(const std::string& name, std::uint64_t cap, Bytes& out,
                     std::string& error) const {
  const std::uint64_t at = index_.at(name);
  zip_stat_t stat;
  zip_stat_index(archive_, at, 0, &stat);
  const std::string entry = "entry \"" + name + "\" ";
  if (stat.encryption_method != ZIP_EM_NONE) {
    error = entry + "is encrypted";
    return false;
  }
  if (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE) {
    error = entry + "is compressed with a method other than deflate";
    return false;
  }
  if (stat.size > cap) {
    error = entry + "declares " + std::to_string(stat.size) + " bytes, more than " +
            std::to_string(cap);
    return false;
  }
  const std::uint64_t most = stat.comp_method == ZIP_CM_STORE
                                 ? stat.comp_size
                                 : stat.comp_size * kDeflateMostPerByte + kDeflateSlack;
  if (stat.size > most) {
    error = entry + "declares " + std::to_string(stat.size) + " bytes, more than its " +
            std::to_string(stat.comp_size) + " compressed bytes can give";
    return false;
  }
  zip_file_t* file = zip_fopen_index(archive_, at, 0);
  if (!file) {
    error = entry + "cannot be read (" + ReasonOf(archive_) + ")";
    return false;
  }
  // Then one byte more is asked for: an entry must hold exactly what it
  // declares, and libzip reports a wrong checksum only on the read that
  // finds the end, not on the one that returned the last bytes.
  out.resize(stat.size);
  const zip_int64_t got = zip_fread(file, out.data(), out.size());
  std::uint8_t past = 0;
  const zip_int64_t more = got < 0 ? 0 : zip_fread(file, &past, 1);
  const std::string reason = zip_error_strerror(zip_file_get_error(file));
  zip_fclose(file);
  if (got < 0 || more < 0) {
    error = entry + "is damaged (" + reason + ")";
    return false;
  }
  if (static_cast<std::uint64_t>(got) != stat.size || more > 0) {
    error = entry + "does not hold the " + std::to_string(stat.size) + " bytes it declares";
    return false;
  }
  return true;
}
