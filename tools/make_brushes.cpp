// Makes the shipped brushes from their sources: each SOURCE.json in the
// source folder is a brush file holding only what differs from the start
// settings (its name, less ".json", is the brush's). It is applied to the
// painter as a person's Apply would, then saved whole, with every map it
// paints with named and the picture of the stroke it makes, into the
// output folder. Run from the repository root, where textures/ is, with a
// display (xvfb-run):
//   make_brushes tools/brushes/ brushes/

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "actions/brushes.h"
#include "app/shell.h"
#include "platform/files.h"

namespace {

constexpr char kSourceExtension[] = ".json";

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// The names of the folder's sources, in order.
std::vector<std::string> SourceNames(const std::string& folder) {
  const std::string extension = kSourceExtension;
  std::vector<std::string> names;
  for (const std::string& file : ListDirectory(folder).names)
    if (file.size() > extension.size() &&
        file.compare(file.size() - extension.size(), extension.size(), extension) == 0)
      names.push_back(file.substr(0, file.size() - extension.size()));
  std::sort(names.begin(), names.end());
  return names;
}

// A source that names no map of a slot paints with the start-up one.
void NameEveryMap(Brush& brush) {
  const MapFileTable startMaps;
  for (std::size_t i = 0; i < kBrushMapCount; ++i)
    if (brush.maps[i].empty()) {
      const std::string& path = startMaps.files[kBrushMapSlots[i].slot];
      brush.maps[i] = path.substr(path.find_last_of('/') + 1);
    }
}

bool MakeBrush(const std::string& source, const std::string& name, const std::string& out) {
  Brush brush;
  std::string error;
  if (!LoadBrush(source, brush, error)) {
    std::fprintf(stderr, "make_brushes: %s\n", error.c_str());
    return false;
  }
  NameEveryMap(brush);
  if (!ApplyBrush(brush, name, "textures/").told.empty()) return false;  // a map is missing
  if (!SaveBrush(out, CurrentBrush(), error)) {
    std::fprintf(stderr, "make_brushes: %s\n", error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: make_brushes SOURCE_FOLDER OUT_FOLDER\n");
    return 2;
  }
  const std::string sources = WithSlash(argv[1]), out = WithSlash(argv[2]);
  StartPainter(&argc, argv);
  const std::vector<std::string> names = SourceNames(sources);
  if (names.empty()) {
    std::fprintf(stderr, "make_brushes: no brush sources in %s\n", sources.c_str());
    return 1;
  }
  for (const std::string& name : names)
    if (!MakeBrush(sources + name + kSourceExtension, name, out + name + kBrushExtension)) return 1;
  return 0;
}
