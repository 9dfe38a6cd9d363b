#pragma once
// The program's one door to the file system.
//
// Map paths are written with varying letter case ("Textures/Meshmap/Bump.bmp"
// in the defaults, "textures/meshmap/" in the folder menus) while the data
// tree on disk is lower case. Every path opened for reading or writing goes
// through ResolvePath, which folds case one component at a time.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Resolves each component of a relative or absolute path: an exact match
// wins, otherwise the first directory entry equal to it ignoring ASCII case.
// A component that matches nothing (a file about to be written) is kept as
// given, and resolution of the rest stops there. Never fails.
std::string ResolvePath(const std::string& path);

// std::fopen on the resolved path.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Every entry name of a directory (".", ".." and subfolders included) in the
// order the file system returns them.
struct DirectoryListing {
  bool opened = false;  // false: the directory could not be opened
  std::vector<std::string> names;
};
DirectoryListing ListDirectory(const std::string& directory);

// The folder the person started the program in: the installed launcher
// changes into the person's data folder first and says where they started
// (KELVRA_START_DIR); otherwise the working folder.
std::string StartFolder();
// A file name the person gave (on the command line, in a script), relative
// to the folder they started in unless it is absolute.
std::string FromStartFolder(const std::string& file);

// The whole content of the file at `path` (letter case as given) into
// `bytes`. "" or the reason it cannot be had: the system's ("No such file
// or directory", "Is a directory"), or that it holds more than `cap` bytes.
std::string ReadWholeFile(const std::string& path, std::uint64_t cap,
                          std::vector<std::uint8_t>* bytes);
