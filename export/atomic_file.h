#pragma once
// A file written whole or not at all: written under a temporary name in the
// target's folder and renamed over the target when complete. Dropped
// without Commit, the temporary file is removed.
//
// The temporary name is short and does not grow with the target's
// (".kelvra-" and six letters), so that any name the folder takes can be
// written. Every failure names the target and the reason the system gave
// for the call that failed.

#include <cstddef>
#include <string>

class AtomicFile {
 public:
  explicit AtomicFile(std::string path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& Path() const { return path_; }

  // Creates the temporary file; false, with `error` set, when the folder
  // cannot take it.
  bool Open(std::string* error);
  // Appends bytes. The first failure is kept and reported by Close.
  void Write(const void* data, std::size_t size);
  // Closes the temporary file; false, with `error` set, when a write or
  // the close failed (the temporary file is removed when the object goes).
  bool Close(std::string* error);
  // Renames the closed temporary file over the target; false, with `error`
  // set, when that fails.
  bool Rename(std::string* error);
  // Close and Rename.
  bool Commit(std::string* error);

 private:
  bool Fail(int reason, std::string* error) const;

  std::string path_;
  std::string temporary_;
  int descriptor_ = -1;
  int writeFailure_ = 0;  // errno of the first failed write
  bool renamed_ = false;
};

// The folder part of `path` with its final slash ("dir/" of "dir/a.png"),
// or "" for a name in the working folder.
std::string FolderOf(const std::string& path);
