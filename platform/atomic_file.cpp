#include "platform/atomic_file.h"

#include <fcntl.h>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files.h"

namespace {

constexpr char kTemporaryStem[] = ".kelvra-";
constexpr std::size_t kTemporaryLetters = 6;

}  // namespace

AtomicFile::AtomicFile(std::string path, std::string verb)
    : path_(std::move(path)), verb_(std::move(verb)) {}

AtomicFile::~AtomicFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
  if (!renamed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
  if (lock_ >= 0) ::close(lock_);
}

bool AtomicFile::Fail(int reason, std::string* error) const {
  if (error) *error = "cannot " + verb_ + " " + path_ + ": " + std::strerror(reason);
  return false;
}

bool AtomicFile::Open(std::string* error) {
  const std::string pattern =
      FolderOf(path_) + kTemporaryStem + std::string(kTemporaryLetters, 'X');
  // The lock marks the temporary as being written. A cleaner may take the
  // lock between mkstemp and flock, and remove the file: then the lock is
  // refused, or comes to a file without a name, and another is made. A
  // file system without locks leaves the temporary unmarked: a cleaner
  // cannot take its lock either, so it stays.
  for (int attempt = 0; descriptor_ < 0; ++attempt) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    descriptor_ = ::mkstemp(name.data());
    if (descriptor_ < 0) return Fail(errno, error);
    const int refused = ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    struct stat info;
    if ((refused != EWOULDBLOCK || attempt == 100) && ::fstat(descriptor_, &info) == 0 &&
        info.st_nlink > 0) {
      temporary_ = name.data();
      // The lock lasts while a duplicate lives: Close closes the file to
      // see its errors, and the lock must hold until the rename.
      lock_ = ::dup(descriptor_);
    } else {
      ::close(descriptor_);
      descriptor_ = -1;
    }
  }
  // mkstemp makes the file private; the finished file gets the usual
  // permissions, as any file the person's programs write.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(descriptor_, 0666 & ~mask);
  return true;
}

void AtomicFile::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0 && writeFailure_ == 0) {
    const ssize_t written = ::write(descriptor_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      writeFailure_ = written < 0 ? errno : ENOSPC;  // no progress: the disk took nothing
      return;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

std::int64_t AtomicFile::Seek(std::int64_t offset, int whence) {
  if (writeFailure_ != 0) return -1;
  const off_t at = ::lseek(descriptor_, static_cast<off_t>(offset), whence);
  if (at < 0) writeFailure_ = errno;
  return at;
}

bool AtomicFile::Close(std::string* error) {
  if (descriptor_ < 0) return Fail(EBADF, error);
  // A disk that fills up while the kernel writes its cache out shows in the
  // sync or the close.
  const int syncFailure = writeFailure_ == 0 && ::fsync(descriptor_) != 0 ? errno : 0;
  const int closed = ::close(descriptor_);
  const int closeFailure = closed != 0 ? errno : 0;
  descriptor_ = -1;
  if (writeFailure_ != 0) return Fail(writeFailure_, error);
  if (syncFailure != 0) return Fail(syncFailure, error);
  if (closeFailure != 0) return Fail(closeFailure, error);
  return true;
}

bool AtomicFile::Rename(std::string* error) {
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail(errno, error);
  renamed_ = true;
  ::close(lock_);
  lock_ = -1;
  // The rename lasts only once the folder is on disk. The file is in place
  // whatever this gives; some file systems cannot sync a folder.
  const std::string folder = FolderOf(path_);
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
  return true;
}

bool AtomicFile::Commit(std::string* error) { return Close(error) && Rename(error); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool WriteFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::string* error, const std::string& verb) {
  AtomicFile file(path, verb);
  if (!file.Open(error)) return false;
  file.Write(bytes.data(), bytes.size());
  return file.Commit(error);
}

int RemoveAbandonedTemporaries(const std::string& folder) {
  int removed = 0;
  for (const std::string& name : ListDirectory(folder).names) {
    if (name.size() != sizeof kTemporaryStem - 1 + kTemporaryLetters ||
        name.compare(0, sizeof kTemporaryStem - 1, kTemporaryStem) != 0)
      continue;
    const std::string path = folder + name;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (descriptor < 0) continue;
    struct stat info;
    // Held: a living writer's. Taken: nobody writes it, nor can start to.
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
        ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0)
      ++removed;
    ::close(descriptor);
  }
  return removed;
}

std::string MakeFoldersOf(const std::string& path) {
  const std::string folder = FolderOf(path);
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string step = folder.substr(0, slash);
    if (::mkdir(step.c_str(), 0777) != 0 && errno != EEXIST)
      return "cannot make the folder " + step + ": " + std::strerror(errno);
  }
  return "";
}
