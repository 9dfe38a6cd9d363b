#include "actions/brushes.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "actions/actions.h"
#include "actions/brush_picture.h"
#include "actions/documents.h"
#include "common/notice.h"
#include "platform/atomic_file.h"
#include "platform/files.h"

namespace {

FileOutcome Failed(const std::string& line) {
  Notice(line);
  return {false, line};
}

FileOutcome Done(const std::string& line, const std::string& caution = "") {
  Notice(line);
  if (!caution.empty()) Notice(caution);
  return {true, caution};
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string WithSlash(const std::string& folder) {
  return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The brush name of a file name, or "" for a file that is no brush (a
// temporary of a save killed halfway starts with a dot).
std::string BrushNameOf(const std::string& file) {
  const std::string extension = kBrushExtension;
  if (file.empty() || file[0] == '.' || !EndsWith(file, extension) ||
      file.size() == extension.size())
    return "";
  return file.substr(0, file.size() - extension.size());
}

// The brushes of one folder, by name as a person reads it (letter case
// aside).
std::vector<BrushEntry> BrushesIn(const std::string& folder, bool own) {
  std::vector<BrushEntry> entries;
  if (folder.empty()) return entries;
  for (const std::string& file : ListDirectory(folder).names)
    if (const std::string name = BrushNameOf(file); !name.empty())
      entries.push_back({name, folder + file, own});
  std::sort(entries.begin(), entries.end(), [](const BrushEntry& a, const BrushEntry& b) {
    const int folded = ::strcasecmp(a.name.c_str(), b.name.c_str());
    return folded != 0 ? folded < 0 : a.name < b.name;
  });
  return entries;
}

bool SameFolder(const std::string& a, const std::string& b) {
  std::error_code ignored;
  return std::filesystem::equivalent(a, b, ignored);
}

}  // namespace

std::string OwnBrushesFolder() { return DataFolder("brushes"); }

std::string ShippedBrushesFolder() {
  const char* shipped = std::getenv("KELVRA_SHIPPED_BRUSHES");
  const std::string folder = WithSlash(shipped && *shipped ? shipped : "brushes");
  return SameFolder(folder, OwnBrushesFolder()) ? "" : folder;
}

std::vector<BrushEntry> ListBrushes() {
  std::vector<BrushEntry> entries = BrushesIn(OwnBrushesFolder(), true);
  const std::vector<BrushEntry> shipped = BrushesIn(ShippedBrushesFolder(), false);
  entries.insert(entries.end(), shipped.begin(), shipped.end());
  return entries;
}

std::optional<BrushEntry> FindBrush(const std::string& name) {
  for (const BrushEntry& entry : ListBrushes())
    if (entry.name == name) return entry;
  return std::nullopt;
}

BrushSettings BrushSettingsOfState(const ApplicationState& state) {
  return BrushSettings{state.strokeSettings, state.collisions.factors};
}

FileOutcome ApplyBrush(const Brush& brush, const std::string& name,
                       const std::string& textureRoot) {
  std::vector<MapChoice> maps;
  std::string missing;
  for (std::size_t i = 0; i < kBrushMapCount; ++i) {
    if (brush.maps[i].empty()) continue;
    const MapSlot slot = kBrushMapSlots[i].slot;
    const std::string path = WithSlash(textureRoot) + MapFolderOf(slot) + brush.maps[i];
    std::error_code ignored;
    const std::string found = ResolvePath(path);
    // The map already painted with stays as it is named (the start-up
    // maps are named in another letter case): a painting saved after
    // the brush is the one saved after setting the same by hand.
    if (found == ResolvePath(AppState().maps.files[slot])) continue;
    if (std::filesystem::is_regular_file(found, ignored))
      maps.push_back({slot, path});
    else
      missing += (missing.empty() ? "" : ", ") + path;
  }
  ApplyBrushSettings(brush.settings.stroke, brush.settings.collisions, maps);
  if (!maps.empty()) LoadTexturesEverywhere();
  if (missing.empty()) return Done("applied the brush " + name);
  return Done("applied the brush " + name, "the brush " + name +
                                               " paints with a map this folder lacks (" + missing +
                                               "): the rest of it is applied");
}

FileOutcome ApplyBrushEntry(const BrushEntry& entry, const std::string& textureRoot) {
  Brush brush;
  std::string error;
  if (!LoadBrush(entry.path, brush, error)) return Failed(error);
  return ApplyBrush(brush, entry.name, textureRoot);
}

Brush CurrentBrush() {
  const ApplicationState& state = AppState();
  Brush brush;
  brush.settings = BrushSettingsOfState(state);
  for (std::size_t i = 0; i < kBrushMapCount; ++i)
    brush.maps[i] = FileNameOf(state.maps.files[kBrushMapSlots[i].slot]);
  std::string problem;
  brush.picture = BrushPicture(brush.settings.stroke, &problem);
  if (!problem.empty()) Notice("the brush is saved without its picture: " + problem);
  return brush;
}

BrushName OwnBrushPathOf(const std::string& typed) {
  const std::string name = Trimmed(typed);
  const std::string extension = kBrushExtension;
  if (name.empty()) return {"", "type a name for the brush into \"Name:\""};
  if (name.find('/') != std::string::npos) return {"", "a name cannot contain '/'"};
  if (name[0] == '.' || name == extension)
    return {"", "\"" + name + "\" is no name of its own: type another"};
  if (OwnBrushesFolder().empty()) return {"", "there is no folder for brushes: HOME is not set"};
  return {OwnBrushesFolder() + name + (EndsWith(name, extension) ? "" : extension), ""};
}

FileOutcome SaveCurrentBrush(const std::string& path) {
  if (const std::string reason = MakeFoldersOf(path); !reason.empty())
    return Failed("cannot save " + path + ": " + reason);
  std::string error;
  if (!SaveBrush(path, CurrentBrush(), error)) return Failed(error);
  return Done("saved the brush " + path);
}

FileOutcome DeleteOwnBrush(const BrushEntry& entry) {
  if (!entry.own) return Failed("the brush " + entry.name + " is shipped with Kelvra: it stays");
  if (::unlink(entry.path.c_str()) != 0)
    return Failed("cannot delete " + entry.path + ": " + std::strerror(errno));
  return Done("deleted the brush " + entry.path);
}

FileOutcome ImportBrush(const std::string& file) {
  Bytes bytes;
  if (const std::string reason = ReadWholeFile(file, kBrushFileBytes, &bytes); !reason.empty())
    return Failed("cannot import " + file + ": " + reason);
  Brush brush;
  std::string error;
  if (!DecodeBrush(bytes, brush, error)) return Failed("cannot import " + file + ": " + error);
  std::string name = FileNameOf(file);
  if (EndsWith(name, kBrushExtension)) name.resize(name.size() - std::strlen(kBrushExtension));
  const BrushName own = OwnBrushPathOf(name);
  if (!own.problem.empty()) return Failed("cannot import " + file + ": " + own.problem);
  if (::access(own.path.c_str(), F_OK) == 0)
    return Failed("cannot import " + file + ": you have a brush named " + name + " already (" +
                  own.path +
                  "); to replace it, delete it in the Brushes window (or remove that "
                  "file) and import again");
  if (const std::string reason = MakeFoldersOf(own.path); !reason.empty())
    return Failed("cannot import " + file + ": " + reason);
  if (!WriteFileWhole(own.path, bytes, &error, "save")) return Failed(error);
  return Done("imported the brush " + name + " into " + own.path);
}
