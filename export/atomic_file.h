#pragma once
// A file written whole or not at all: written under a temporary name in the
// target's folder and renamed over the target when complete. Dropped
// without Commit, the temporary file is removed.

#include <cstdio>
#include <string>

class AtomicFile {
 public:
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; false, with `error` set, when the folder
  // cannot take it.
  bool Open(std::string* error);
  std::FILE* Stream() const { return stream_; }
  // The temporary file's own name, for writers that want a path.
  const std::string& TemporaryPath() const { return temporary_; }
  // Closes and renames into place; false, with `error` set, on a failed
  // write or rename (the temporary file is then removed).
  bool Commit(std::string* error);

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* stream_ = nullptr;
  bool committed_ = false;
};
