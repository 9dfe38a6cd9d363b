#include "platform/files.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/atomic_file.h"
#include "tests/support/scratch_dir.h"

namespace {

// A tree holding textures/meshmap/Bump.bmp and textures/meshmap/bump.bmp.
// Paths resolve one component at a time: an exact match wins, otherwise a
// name that differs only in letter case; a component found neither way
// keeps its name, and so does everything after it.
TEST(ResolvePath, FoldsCaseOneComponentAtATimeExactMatchesFirst) {
  ScratchDir scratch;
  const std::string root = scratch.Path();
  std::filesystem::create_directories(root + "/textures/meshmap");
  std::ofstream(root + "/textures/meshmap/Bump.bmp") << "x";
  std::ofstream(root + "/textures/meshmap/bump.bmp") << "y";
  // The path given, the path resolved (empty: one of the two Bump files).
  const struct { const char* given; const char* resolved; } cases[] = {
      {"/Textures/Meshmap/BUMP.BMP", ""},
      {"/TEXTURES/meshmap/", "/textures/meshmap/"},
      {"/Textures/Meshmap/Bump.bmp", "/textures/meshmap/Bump.bmp"},
      {"/textures/meshmap/bump.bmp", "/textures/meshmap/bump.bmp"},
      {"/Textures/MeshMap/New.bmp", "/textures/meshmap/New.bmp"},
      {"/Textures/Missing/Deeper/a.bmp", "/textures/Missing/Deeper/a.bmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    const std::string resolved = ResolvePath(root + c.given), bump = root + "/textures/meshmap/";
    EXPECT_TRUE(*c.resolved ? resolved == root + c.resolved
                            : resolved == bump + "Bump.bmp" || resolved == bump + "bump.bmp")
        << resolved;
  }
  // A listing holds every entry, "." and ".." included, or says it could
  // not open the folder.
  DirectoryListing listing = ListDirectory(root + "/Textures/MESHMAP/");
  ASSERT_TRUE(listing.opened);
  std::sort(listing.names.begin(), listing.names.end());
  EXPECT_EQ(listing.names, (std::vector<std::string>{".", "..", "Bump.bmp", "bump.bmp"}));
  EXPECT_FALSE(ListDirectory(root + "/nowhere").opened);
}

// A save killed halfway leaves its temporary; a writer at work holds a
// lock on its own. Only the abandoned ones go, and nothing but temporaries.
TEST(AtomicFile, AbandonedTemporariesGoAWriterAtWorkKeepsItsOwn) {
  ScratchDir dir;
  const std::string folder = dir.Path() + "/";
  for (const char* name : {".kelvra-Ab12Cd", ".kelvra-longer-name", "painting.kelvra"})
    std::ofstream(folder + name) << "bytes";
  const auto files = [&folder] {
    return std::distance(std::filesystem::directory_iterator(folder), {});
  };
  AtomicFile writing(folder + "new.kelvra", "save");
  std::string error;
  ASSERT_TRUE(writing.Open(&error)) << error;
  writing.Write("abc", 3);
  EXPECT_EQ(RemoveAbandonedTemporaries(folder), 1);
  EXPECT_EQ(::access((folder + ".kelvra-Ab12Cd").c_str(), F_OK), -1);
  EXPECT_EQ(files(), 3) << "the writer's own, and the two others";
  ASSERT_TRUE(writing.Commit(&error)) << error;
  EXPECT_EQ(files(), 3);
}

}  // namespace
