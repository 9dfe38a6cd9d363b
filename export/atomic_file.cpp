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
  bool written = true;
  if (stream_) {
    written = std::fflush(stream_) == 0 && !std::ferror(stream_);
    written = std::fclose(stream_) == 0 && written;
    stream_ = nullptr;
  }
  if (!written || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    if (error) *error = "cannot write " + path_ + ": " + std::strerror(errno);
    return false;
  }
  committed_ = true;
  return true;
}
