#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// "Suite.Test" of the running test, with characters a file name should not
// hold replaced ("Case/0" of a parameterised test).
std::string TestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
  for (char& c : name)
    if (c == '/' || c == ' ') c = '_';
  return name;
}

}  // namespace

ScratchDir::ScratchDir() {
  path_ = (fs::temp_directory_path() / ("kelvra_" + TestName() + "_XXXXXX")).string();
  if (!::mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed for " + path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::File(const std::string& name) const { return path_ + "/" + name; }

ScratchTextureTree::ScratchTextureTree() : previous_(fs::current_path().string()) {
  const fs::path textures = fs::path(dir_.Path()) / "textures";
  fs::copy(fs::path(KELVRA_SOURCE_DIR) / "textures", textures, fs::copy_options::recursive);
  // Maps saved by earlier runs of the program in the repository stay behind.
  const fs::path saved = textures / "sourcemap" / "Saved";
  fs::remove_all(saved);
  fs::create_directories(saved);
  fs::current_path(dir_.Path());
}

ScratchTextureTree::~ScratchTextureTree() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}
