#include "document/durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string Failure(const char* verb, const std::string& path, int reason) {
  return std::string("cannot ") + verb + " " + path + ": " + std::strerror(reason);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes all bytes; 0 or the errno of the failure.
int WriteAll(int descriptor, const Bytes& bytes) {
  const std::uint8_t* at = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(descriptor, at, left);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return ENOSPC;  // no progress: the disk took nothing
    at += written;
    left -= static_cast<std::size_t>(written);
  }
  return 0;
}

// The temporary file: a short name of its own, whatever the target's
// length, so that any name the folder takes can be saved to.
int CreateTemporary(const std::string& folder, std::string& name) {
  std::string pattern = folder + "/.kelvra-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int descriptor = ::mkstemp(buffer.data());
  if (descriptor < 0) return -1;
  name = buffer.data();
  // mkstemp makes the file private; a saved painting gets the usual
  // permissions, as any file the person's programs write.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(descriptor, 0666 & ~mask);
  return descriptor;
}

}  // namespace

bool WriteFileDurably(const std::string& path, const Bytes& bytes, std::string& error) {
  const std::string folder = FolderOf(path);
  std::string temporary;
  const int descriptor = CreateTemporary(folder, temporary);
  if (descriptor < 0) {
    error = Failure("save", path, errno);
    return false;
  }
  int failure = WriteAll(descriptor, bytes);
  // A disk that fills while the kernel writes its cache out shows here.
  if (failure == 0 && ::fsync(descriptor) != 0) failure = errno;
  if (::close(descriptor) != 0 && failure == 0) failure = errno;
  if (failure == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    error = Failure("save", path, failure);
    return false;
  }
  // The rename itself lasts only once the folder is on disk. The file is
  // in place whatever this gives; some file systems cannot sync a folder.
  const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (folderDescriptor >= 0) {
    ::fsync(folderDescriptor);
    ::close(folderDescriptor);
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::uint64_t cap, Bytes& bytes, std::string& error) {
  const int descriptor = ::open(path.c_str(), O_RDONLY);
  struct stat info;
  if (descriptor < 0 || ::fstat(descriptor, &info) != 0) {
    error = Failure("open", path, errno);
    if (descriptor >= 0) ::close(descriptor);
    return false;
  }
  if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) > cap) {
    ::close(descriptor);
    error = "cannot open " + path + ": " +
            (S_ISREG(info.st_mode)
                 ? "it is larger than any painting (" + std::to_string(info.st_size) + " bytes)"
                 : std::string("it is not a file"));
    return false;
  }
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(descriptor, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error =
          n < 0 ? Failure("open", path, errno) : "cannot open " + path + ": it shrank while read";
      ::close(descriptor);
      return false;
    }
    got += static_cast<std::size_t>(n);
  }
  ::close(descriptor);
  return true;
}
