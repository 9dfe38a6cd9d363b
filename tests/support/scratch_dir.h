#pragma once
// Files a test writes go into a folder of its own: mkdtemp under the
// system's temporary folder, named after the running test, removed with all
// it holds when the object goes. Parallel test processes (ctest -j) then
// never write the same file, and nothing lands in the repository.

#include <string>

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + "/" + name.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// For code that reads and writes paths relative to the working directory
// (the map table, the saved gradient maps): makes the working directory a
// scratch folder holding a copy of the repository's textures/ with an empty
// sourcemap/Saved/, and goes back to the previous one when the object goes.
class ScratchTextureTree {
 public:
  ScratchTextureTree();
  ~ScratchTextureTree();
  ScratchTextureTree(const ScratchTextureTree&) = delete;
  ScratchTextureTree& operator=(const ScratchTextureTree&) = delete;

  const std::string& Path() const { return dir_.Path(); }

 private:
  ScratchDir dir_;
  std::string previous_;
};
