#pragma once
// The files of one export, written as one: each under a temporary name
// beside its target, renamed into place only when every one is complete,
// the file that names the others last. A failure at any point leaves the
// folder as it was, files of the same names that were there before
// included.

#include <cstdint>
#include <string>
#include <vector>

struct FileBytes {
  std::string path;
  std::vector<std::uint8_t> bytes;
};

// Writes `files`, all in one folder, the last one after all others (it
// names them, so it appears only once they are there). Files of theirs
// that are replaced are kept aside until the last one is in place, and put
// back if any rename fails. Returns "" or "cannot write PATH: reason".
std::string WriteFileSet(const std::vector<FileBytes>& files);

