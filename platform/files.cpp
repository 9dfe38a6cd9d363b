#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <climits>
#include <cstdlib>

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The entry of `directory` equal to `name` ignoring case, or "" if none.
std::string FindFolded(const std::string& directory, const std::string& name) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return "";
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    if (EqualIgnoringCase(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string ResolvePath(const std::string& path) {
  std::vector<std::string> components;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) components.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  std::string resolved = (!path.empty() && path[0] == '/') ? "/" : "";
  bool matching = true;  // false once a component exists in no case
  for (std::size_t i = 0; i < components.size(); ++i) {
    std::string candidate = resolved + components[i];
    if (matching && !Exists(candidate)) {
      const std::string folded = FindFolded(resolved, components[i]);
      if (folded.empty()) {
        matching = false;
      } else {
        candidate = resolved + folded;
      }
    }
    resolved = candidate;
    if (i + 1 < components.size()) resolved += '/';
  }
  if (!path.empty() && path.back() == '/' && !resolved.empty() && resolved.back() != '/')
    resolved += '/';
  return resolved;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
  return std::fopen(ResolvePath(path).c_str(), mode);
}

DirectoryListing ListDirectory(const std::string& directory) {
  DirectoryListing listing;
  DIR* dir = ::opendir(ResolvePath(directory).c_str());
  if (!dir) return listing;
  listing.opened = true;
  while (const dirent* entry = ::readdir(dir)) listing.names.emplace_back(entry->d_name);
  ::closedir(dir);
  return listing;
}

std::string StartFolder() {
  if (const char* start = std::getenv("KELVRA_START_DIR"); start && *start) return start;
  char folder[PATH_MAX];
  return ::getcwd(folder, sizeof folder) ? folder : "";
}

std::string FromStartFolder(const std::string& file) {
  if (file.empty() || file[0] == '/') return file;
  return StartFolder() + "/" + file;
}

std::string ReadWholeFile(const std::string& path, std::uint64_t cap,
                          std::vector<std::uint8_t>* bytes) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::strerror(errno);
  struct stat info;
  std::string reason;
  if (::fstat(descriptor, &info) != 0) {
    reason = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    reason = std::strerror(EISDIR);
  } else if (S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) > cap) {
    reason = "it holds " + std::to_string(info.st_size) + " bytes, more than " +
             std::to_string(cap);
  }
  bytes->clear();
  char block[1 << 16];
  while (reason.empty()) {
    const ssize_t got = ::read(descriptor, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) reason = std::strerror(errno);
    if (got <= 0) break;
    if (bytes->size() + static_cast<std::size_t>(got) > cap)
      reason = "it holds more than " + std::to_string(cap) + " bytes";
    else
      bytes->insert(bytes->end(), block, block + got);
  }
  ::close(descriptor);
  return reason;
}
