#pragma once
// Right-button submenus that list the BMP files of a texture folder, shared
// by the Stroke panel (mesh, detail, particle, height and paper maps) and the
// Filter panel (source images).
//
// A name is listed when it contains ".bmp" or ".BMP" anywhere: the test is
// case-sensitive ("Paper.Bmp" is not listed) and a substring test
// ("x.bmp.old" is listed). Entries are valued −1, −2, … in the order the file
// system lists the folder. A choice lists the folder afresh and counts again,
// so a file added or removed in between shifts what an entry picks.

#include <optional>
#include <string>
#include <vector>

// The folder the texture menus browse, "textures/" unless a test points it
// at a folder of its own. Always ends with '/'.
const std::string& TextureMenuRoot();
void SetTextureMenuRoot(const std::string& root);

// True for names the texture menus list.
bool IsListedBmpName(const std::string& name);

struct FolderMenuEntry {
  std::string label;  // the file name
  int value = 0;      // −1 for the first listed file, −2 for the second, …
};

// The entries of a folder's menu; nullopt when the folder cannot be opened.
std::optional<std::vector<FolderMenuEntry>> FolderMenuEntries(const std::string& directory);

// The path (directory + file name) of the file a menu value stands for, counting
// the listed names of the folder as it is now; nullopt when the folder cannot
// be opened or holds fewer files than −value.
std::optional<std::string> FolderFileForMenuValue(const std::string& directory, int value);

// Builds a GLUT menu of the folder's files with `onChoice` as its callback and
// returns its id. When the folder cannot be opened, prints `missingLine` (no
// leading tab) and returns 0 without creating a menu; the caller then leaves
// the submenu out, so the menu shows nothing that would do nothing.
int CreateFolderMenu(const std::string& directory, void (*onChoice)(int), const char* missingLine);
