// Saving to and opening from files: a save that cannot complete leaves the
// old file as it was and says why, in the system's words.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <random>

#include "document/document.h"
#include "tests/document/paintings.h"
#include "tests/support/pictures.h"
#include "tests/support/scratch_dir.h"

namespace {

Painting SmallPainting() {
  PaintingSession session;
  session.Paint(-0.5f, 0.0f, 0.2f, 0.05f, 5);
  return PaintingOf(session);
}

// A tmpfs of `size` mounted on a fresh folder, unmounted when the object
// goes; it can be made read-only, which holds even for root. Mounting
// needs privileges a test may not have.
class SmallDisk {
 public:
  explicit SmallDisk(const char* size) {
    mounted_ = ::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, size) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.Path().c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  void MakeReadOnly() {
    ::mount("tmpfs", dir_.Path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr);
  }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  ScratchDir dir_;
  bool mounted_ = false;
};

// A disk too full for the save, then one made read-only (root writes into
// any folder whose permissions forbid it, but not into a file system
// mounted read-only; without a mount, a folder others may not write in).
TEST(PaintingFile, ASaveThatCannotCompleteKeepsTheOldFileAndSaysWhy) {
  SmallDisk disk("size=64k");
  ScratchDir plain;
  const bool mounted = disk.Mounted();
  if (!mounted && ::geteuid() == 0) GTEST_SKIP() << "root here, and no tmpfs can be mounted";
  const std::string path = mounted ? disk.File("painting.kelvra") : plain.File("painting.kelvra");
  std::string error;
  ASSERT_TRUE(SavePainting(path, SmallPainting(), error)) << error;
  const Bytes old = ReadBytes(path);
  if (mounted) {
    // A thumbnail is stored as it is: 200 kB that do not compress, past
    // what the disk has left.
    Painting larger = SmallPainting();
    std::mt19937 noise(1);
    for (int i = 0; i < 200000; ++i) larger.thumbnail.push_back(static_cast<std::uint8_t>(noise()));
    EXPECT_FALSE(SavePainting(path, larger, error));
    EXPECT_EQ(error, "cannot save " + path + ": No space left on device");
    EXPECT_TRUE(ReadBytes(path) == old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.File("")), {}), 1)
        << "no temporary file left behind";
    disk.MakeReadOnly();
  } else {
    ::chmod(plain.Path().c_str(), 0555);
  }
  EXPECT_FALSE(SavePainting(path, Painting(), error));
  EXPECT_EQ(error, "cannot save " + path + ": " +
                       (mounted ? "Read-only file system" : "Permission denied"));
  EXPECT_TRUE(ReadBytes(path) == old);
  ::chmod(plain.Path().c_str(), 0755);
}

}  // namespace
