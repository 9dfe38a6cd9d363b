#include "panels/texture_menus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/console.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// A scratch "papermap" folder with a.bmp, b.BMP, c.txt, x.bmp.old, Paper.Bmp
// and a subfolder old.bmp.d: the menus list the names that hold ".bmp" or
// ".BMP", subfolders too.
class TextureFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Folder() + "old.bmp.d");
    for (const char* name : {"a.bmp", "b.BMP", "c.txt", "x.bmp.old", "Paper.Bmp"})
      std::ofstream(Folder() + name) << "x";
  }

  std::string Folder() const { return scratch_.File("papermap/"); }

  // The listed names in the order the file system gives them; subfolders
  // pass the same name test as files.
  std::vector<std::string> ExpectedOrder() const {
    std::vector<std::string> names;
    for (const std::string& name : ListDirectory(Folder()).names)
      if (name == "a.bmp" || name == "b.BMP" || name == "x.bmp.old" || name == "old.bmp.d")
        names.push_back(name);
    return names;
  }

  ScratchDir scratch_;
};

// Entry values count down from -1 in listing order, and each names its
// file. A choice counts the folder afresh: removing the first file shifts
// what the first entry picks.
TEST_F(TextureFolderTest, EntriesFollowTheListingAndChoicesNameTheirFileAsItIsNow) {
  const auto entries = FolderMenuEntries(Folder());
  ASSERT_TRUE(entries.has_value());
  const std::vector<std::string> expected = ExpectedOrder();
  ASSERT_EQ(entries->size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i]);
    EXPECT_EQ((*entries)[i].label, expected[i]);
    EXPECT_EQ((*entries)[i].value, -static_cast<int>(i) - 1);
    EXPECT_EQ(FolderFileForMenuValue(Folder(), (*entries)[i].value), Folder() + expected[i]);
  }
  for (int value : {-static_cast<int>(expected.size()) - 1, 0, 5})
    EXPECT_FALSE(FolderFileForMenuValue(Folder(), value).has_value()) << value;
  fs::remove_all(Folder() + expected[0]);
  EXPECT_EQ(FolderFileForMenuValue(Folder(), -1), Folder() + expected[1]);
}

TEST_F(TextureFolderTest, MissingFolderHasNoEntriesAndPrintsItsLine) {
  const std::string missing = scratch_.File("nowhere/");
  EXPECT_FALSE(FolderMenuEntries(missing).has_value());
  EXPECT_FALSE(FolderFileForMenuValue(missing, -1).has_value());

  int menu = -1;
  const auto create = [&] {
    menu = CreateFolderMenu(missing, nullptr, "Papermap Directory not Found...");
  };
  EXPECT_EQ(Printed(create), "Papermap Directory not Found...\n");
  EXPECT_EQ(menu, 0);
}

}  // namespace
