#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kelvra_files_XXXXXX";
    root_ = ::mkdtemp(pattern);
    ::mkdir((root_ + "/textures").c_str(), 0755);
    ::mkdir((root_ + "/textures/meshmap").c_str(), 0755);
    std::ofstream(root_ + "/textures/meshmap/Bump.bmp") << "x";
    std::ofstream(root_ + "/textures/meshmap/bump.bmp") << "y";
  }
  void TearDown() override { std::system(("rm -rf " + root_).c_str()); }
  std::string root_;
};

TEST_F(TempTree, FoldsCaseOneComponentAtATime) {
  EXPECT_EQ(ResolvePath(root_ + "/Textures/Meshmap/BUMP.BMP").rfind(root_ + "/textures/meshmap/", 0),
            0u);
  EXPECT_EQ(ResolvePath(root_ + "/TEXTURES/meshmap/"), root_ + "/textures/meshmap/");
}

TEST_F(TempTree, ExactMatchWinsOverFoldedOne) {
  EXPECT_EQ(ResolvePath(root_ + "/Textures/Meshmap/Bump.bmp"), root_ + "/textures/meshmap/Bump.bmp");
  EXPECT_EQ(ResolvePath(root_ + "/textures/meshmap/bump.bmp"), root_ + "/textures/meshmap/bump.bmp");
}

TEST_F(TempTree, NewFileKeepsItsNameInsideResolvedFolder) {
  EXPECT_EQ(ResolvePath(root_ + "/Textures/MeshMap/New.bmp"), root_ + "/textures/meshmap/New.bmp");
  EXPECT_EQ(ResolvePath(root_ + "/Textures/Missing/Deeper/a.bmp"),
            root_ + "/textures/Missing/Deeper/a.bmp");
}

TEST_F(TempTree, ListingHasEveryEntryOrSaysItCouldNotOpen) {
  DirectoryListing listing = ListDirectory(root_ + "/Textures/MESHMAP/");
  ASSERT_TRUE(listing.opened);
  auto has = [&](const char* n) {
    return std::find(listing.names.begin(), listing.names.end(), n) != listing.names.end();
  };
  EXPECT_TRUE(has("."));
  EXPECT_TRUE(has(".."));
  EXPECT_TRUE(has("Bump.bmp"));
  EXPECT_TRUE(has("bump.bmp"));
  EXPECT_FALSE(ListDirectory(root_ + "/nowhere").opened);
}

}  // namespace
