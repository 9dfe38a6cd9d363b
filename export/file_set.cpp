#include "export/file_set.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/atomic_file.h"

namespace {

// A file put into place, and where the one it replaced is kept ("" when
// there was none).
struct Placed {
  std::string path, aside;
};

std::string Failure(const std::string& path, int reason) {
  return "cannot write " + path + ": " + std::strerror(reason);
}

// Keeps the file at `path` under a fresh temporary name beside it, so that
// it can be put back; `aside` is "" when there is no file to keep (nothing,
// or a folder, which the rename over it will refuse).
bool KeepAside(const std::string& path, std::string* aside, std::string* error) {
  aside->clear();
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return true;
  std::string name = FolderOf(path) + ".kelvra-XXXXXX";
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) {
    *error = Failure(path, errno);
    return false;
  }
  ::close(descriptor);
  ::unlink(name.c_str());
  // A hard link leaves the file in place until the new one replaces it; on
  // a file system without hard links it moves aside instead.
  if (::link(path.c_str(), name.c_str()) != 0 && std::rename(path.c_str(), name.c_str()) != 0) {
    *error = Failure(path, errno);
    return false;
  }
  *aside = name;
  return true;
}

// Takes back one file put into place: the one it replaced returns, or it
// goes. A file that cannot return stays under its temporary name, which
// `error` then tells.
void PutBack(const Placed& file, std::string* error) {
  if (file.aside.empty()) {
    ::unlink(file.path.c_str());
  } else if (std::rename(file.aside.c_str(), file.path.c_str()) != 0) {
    *error += " (the earlier " + file.path + " is kept as " + file.aside + ": " +
              std::strerror(errno) + ")";
  }
}

void PutBackAll(const std::vector<Placed>& placed, std::string* error) {
  for (auto it = placed.rbegin(); it != placed.rend(); ++it) PutBack(*it, error);
}

}  // namespace

std::string WriteFileSet(const std::vector<FileBytes>& files) {
  std::vector<std::unique_ptr<AtomicFile>> staged;
  std::string error;
  for (const FileBytes& file : files) {
    staged.push_back(std::make_unique<AtomicFile>(file.path));
    if (!staged.back()->Open(&error)) return error;
    staged.back()->Write(file.bytes.data(), file.bytes.size());
    if (!staged.back()->Close(&error)) return error;
  }
  std::vector<Placed> placed;
  for (std::size_t i = 0; i < staged.size(); ++i) {
    // The last rename either happens whole or changes nothing: only the
    // files before it need a way back.
    Placed file{staged[i]->Path(), ""};
    const bool last = i + 1 == staged.size();
    if (!last && !KeepAside(file.path, &file.aside, &error)) {
      PutBackAll(placed, &error);
      return error;
    }
    if (!staged[i]->Rename(&error)) {
      // What was kept aside (moved, on a file system without hard links)
      // returns; nothing new took its place.
      if (!file.aside.empty()) PutBack(file, &error);
      PutBackAll(placed, &error);
      return error;
    }
    placed.push_back(file);
  }
  for (const Placed& file : placed)
    if (!file.aside.empty()) ::unlink(file.aside.c_str());
  return "";
}
