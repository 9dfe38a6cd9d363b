#include "export/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() {
  if (stream_) std::fclose(stream_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFile::Open(std::string* error) {
  std::vector<char> name(path_.begin(), path_.end());
  const char suffix[] = ".partXXXXXX";
  name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the terminating zero
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) {
    if (error) *error = "cannot write " + path_ + ": " + std::strerror(errno);
    return false;
  }
  temporary_ = name.data();
  // mkstemp makes the file private; the finished file gets the usual
  // permissions, as any file the person's programs write.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(descriptor, 0666 & ~mask);
  stream_ = ::fdopen(descriptor, "wb");
  if (!stream_) {
    ::close(descriptor);
    if (error) *error = "cannot write " + path_ + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool AtomicFile::Commit(std::string* error) {
  if (!stream_ && temporary_.empty()) {
    if (error) *error = "cannot write " + path_;
    return false;
  }
  // The reason is taken where the failure shows: a write that failed
  // earlier leaves only the stream's error flag, and errno may since have
  // been set by something else (EIO stands in then).
  int failure = 0;
  if (stream_) {
    errno = 0;
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) failure = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(stream_) != 0 && failure == 0) failure = errno != 0 ? errno : EIO;
    stream_ = nullptr;
  }
  if (failure == 0 && std::rename(temporary_.c_str(), path_.c_str()) != 0) failure = errno;
  if (failure != 0) {
    if (error) *error = "cannot write " + path_ + ": " + std::strerror(failure);
    return false;
  }
  committed_ = true;
  return true;
}
