#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace
