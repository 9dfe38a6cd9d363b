#include "panels/texture_menus.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "platform/files.h"

namespace {

std::string& MutableRoot() {
  static std::string root = "textures/";
  return root;
}

}  // namespace

const std::string& TextureMenuRoot() { return MutableRoot(); }

void SetTextureMenuRoot(const std::string& root) {
  MutableRoot() = (root.empty() || root.back() == '/') ? root : root + "/";
}

bool IsListedBmpName(const std::string& name) {
  return name.find(".bmp") != std::string::npos || name.find(".BMP") != std::string::npos;
}

std::optional<std::vector<FolderMenuEntry>> FolderMenuEntries(const std::string& directory) {
  const DirectoryListing listing = ListDirectory(directory);
  if (!listing.opened) return std::nullopt;
  std::vector<FolderMenuEntry> entries;
  for (const std::string& name : listing.names) {
    if (!IsListedBmpName(name)) continue;
    entries.push_back({name, -static_cast<int>(entries.size()) - 1});
  }
  return entries;
}

std::optional<std::string> FolderFileForMenuValue(const std::string& directory, int value) {
  const auto entries = FolderMenuEntries(directory);
  if (!entries) return std::nullopt;
  for (const FolderMenuEntry& entry : *entries) {
    if (entry.value == value) return directory + entry.label;
  }
  return std::nullopt;
}

int CreateFolderMenu(const std::string& directory, void (*onChoice)(int), const char* missingLine) {
  const auto entries = FolderMenuEntries(directory);
  if (!entries) {
    std::printf("%s\n", missingLine);
    std::fflush(stdout);
    return 0;
  }
  const int menu = glutCreateMenu(onChoice);
  for (const FolderMenuEntry& entry : *entries) glutAddMenuEntry(entry.label.c_str(), entry.value);
  return menu;
}
