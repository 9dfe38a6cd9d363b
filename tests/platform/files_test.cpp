#include "platform/files.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
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

// Saves killed at random moments, over and over (3 MB a save, one letter
// throughout): the file is always one whole save or another, and what the
// killed saves left goes at the next clean-up, leaving the file alone.
TEST(AtomicFile, SavesKilledAtRandomLeaveAWholeFileAndTemporariesThatGo) {
  ScratchDir dir;
  const std::string folder = dir.Path() + "/", painting = folder + "painting.kelvra";
  const std::string first(3 << 20, 'a');
  std::ofstream(painting) << first;
  std::srand(7);
  for (int kill = 0; kill < 12; ++kill) {
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
      for (char letter = 'b';; letter = letter == 'z' ? 'b' : letter + 1) {
        const std::string bytes(3 << 20, letter);
        AtomicFile file(painting, "save");
        std::string error;
        for (std::size_t at = 0; file.Open(&error) && at < bytes.size(); at += 1 << 16)
          file.Write(bytes.data() + at, 1 << 16);
        file.Commit(&error);
      }
    }
    ::usleep(static_cast<useconds_t>(std::rand() % 40000));
    ::kill(saver, SIGKILL);
    ::waitpid(saver, nullptr, 0);
    std::ifstream read(painting, std::ios::binary);
    const std::string kept((std::istreambuf_iterator<char>(read)), {});
    ASSERT_EQ(kept.size(), first.size());
    EXPECT_EQ(kept.find_first_not_of(kept[0]), std::string::npos) << "a save cut short";
  }
  RemoveAbandonedTemporaries(folder);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace
