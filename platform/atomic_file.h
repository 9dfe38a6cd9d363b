#pragma once
// A file written whole or not at all: written under a temporary name in the
// target's folder, synced to the disk, renamed over the target, and the
// folder synced after it, so that at every moment the target is the old
// file or the whole new one, even across a power cut. Dropped without
// Commit, the temporary file is removed and the target left as it was.
//
// The temporary name is short and does not grow with the target's
// (".kelvra-" and six letters), so that any name the folder takes can be
// written. The writer holds a lock on the temporary while it exists, which
// the kernel drops when the process ends however it ends: a temporary
// nobody holds was left by a write that was killed, and
// RemoveAbandonedTemporaries clears it. Every failure names the target and the reason the system gave
// for the call that failed: "cannot VERB PATH: reason".

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AtomicFile {
 public:
  // `verb` says what failed in messages: "write" (exports), "save"
  // (paintings).
  explicit AtomicFile(std::string path, std::string verb = "write");
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  const std::string& Path() const { return path_; }

  // Creates the temporary file; false, with `error` set, when the folder
  // cannot take it.
  bool Open(std::string* error);
  // Appends bytes. The first failure is kept and reported by Close.
  void Write(const void* data, std::size_t size);
  // Moves where the next Write goes, as lseek does (a file format that
  // fills in a header once its data is written needs it); the new offset,
  // or -1 (the failure is kept and reported by Close).
  std::int64_t Seek(std::int64_t offset, int whence);
  // Syncs and closes the temporary file; false, with `error` set, when a
  // write, the sync or the close failed (the temporary file is removed when
  // the object goes).
  bool Close(std::string* error);
  // Renames the closed temporary file over the target and syncs the folder;
  // false, with `error` set, when the rename fails.
  bool Rename(std::string* error);
  // Close and Rename.
  bool Commit(std::string* error);

 private:
  bool Fail(int reason, std::string* error) const;

  std::string path_;
  std::string verb_;
  std::string temporary_;
  int descriptor_ = -1;
  int lock_ = -1;  // holds the temporary's lock from Open to the rename
  int writeFailure_ = 0;  // errno of the first failed write
  bool renamed_ = false;
};

// The folder part of `path` with its final slash ("dir/" of "dir/a.png"),
// or "" for a name in the working folder.
std::string FolderOf(const std::string& path);

// `bytes` into the file at `path`, whole or not at all (AtomicFile). False
// with `error` set.
bool WriteFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::string* error, const std::string& verb = "write");

// Removes the temporaries of `folder` (with its final slash) that no
// living writer holds; returns how many.
int RemoveAbandonedTemporaries(const std::string& folder);

// Makes the folders on the way to `path` that are missing. Returns "" or
// "cannot make the folder FOLDER: reason".
std::string MakeFoldersOf(const std::string& path);
