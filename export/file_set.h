#pragma once
// Several files written as one: each under a temporary name beside its
// target, all renamed into place only when every one is complete. A set
// dropped without CommitAll removes its temporary files.

#include <memory>
#include <string>
#include <vector>

#include "export/atomic_file.h"

class AtomicFileSet {
 public:
  // A fresh temporary file for `path` (one added before for the same path
  // is dropped). nullptr when it cannot be made; the first such error is
  // kept in Error().
  AtomicFile* Add(const std::string& path);
  const std::string& Error() const { return error_; }

  // Renames the files into place in the order they were added, `last`
  // (when one of them) after all others, so that a file naming the others
  // appears only once they are there. On a failure the files already
  // renamed are removed again and `error` says what failed.
  bool CommitAll(const std::string& last, std::string* error);

 private:
  struct Entry {
    std::string path;
    std::unique_ptr<AtomicFile> file;
  };
  std::vector<Entry> entries_;
  std::string error_;
};
