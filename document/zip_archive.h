#pragma once
// The zip container of a painting, in memory both ways (libzip): the
// writer gathers entries and gives the archive's bytes; the reader opens
// bytes already in memory and refuses anything a painting never holds
// before an entry is read (names that climb out of a folder, are absolute,
// use backslashes or come twice; sizes past a cap or past what the
// compressed bytes can give).

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "document/painting.h"

struct zip;
struct zip_source;

class ZipWriter {
 public:
  enum class Packing { kStored, kDeflated };

  // The bytes are not copied: they must live until Finish.
  void Add(std::string name, const std::uint8_t* data, std::size_t size, Packing packing);
  // The archive with every entry in the order added; false with `error`
  // (libzip's reason) when it cannot be made.
  bool Finish(Bytes& archive, std::string& error) const;

 private:
  struct Entry {
    std::string name;
    const std::uint8_t* data;
    std::size_t size;
    Packing packing;
  };
  std::vector<Entry> entries_;
};

class ZipReader {
 public:
  ZipReader() = default;
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // Opens the archive in `data` (which must outlive the reader) and checks
  // every entry's name and sizes; false with `error` saying what is wrong.
  bool Open(const std::uint8_t* data, std::size_t size, std::uint64_t maxEntries,
            std::string& error);
  // The same for the archive in `file`, which the reader takes over and
  // closes. Entries are read from the file as they are asked for: one small
  // entry of a large file costs little more than the archive's directory.
  bool Open(std::FILE* file, std::uint64_t maxEntries, std::string& error);
  // Entry names in the archive's order.
  const std::vector<std::string>& Names() const { return names_; }
  bool Has(const std::string& name) const { return index_.count(name) != 0; }
  // The entry's bytes, refused when it declares more than `cap` bytes or
  // does not hold exactly what it declares.
  bool Read(const std::string& name, std::uint64_t cap, Bytes& out, std::string& error) const;
  // Whether the entry is stored without compression.
  bool Stored(const std::string& name) const;

 private:
  // Opens source_ as the archive and checks its entries. `start` holds the
  // file's first bytes (up to 4) and `size` its size, so that a file that
  // is no archive at all is told from one that is empty or cut short.
  bool OpenSource(std::uint64_t maxEntries, const std::string& start, std::uint64_t size,
                  std::string& error);

  zip* archive_ = nullptr;
  zip_source* source_ = nullptr;
  std::vector<std::string> names_;
  std::map<std::string, std::uint64_t> index_;
};
