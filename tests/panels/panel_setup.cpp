#include "tests/panels/panel_setup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "image/textures.h"
#include "panels/panels.h"
#include "panels/texture_menus.h"
#include "state/state.h"
#include "tests/support/console.h"
#include "tests/support/gl_window.h"
#include "tests/support/scratch_dir.h"

namespace {

// The windows the panels were created with: a reset of the state forgets
// them, the tests go on using them.
Windows CreatedWindows;

}  // namespace

void CreatePanelsOnce() {
  static bool created = false;
  if (created) return;
  created = true;
  ScratchDir root;
  for (const char* folder :
       {"meshmap", "detailmap", "partmap", "heightmap", "papermap", "sourcemap"}) {
    std::filesystem::create_directories(root.File(folder));
    std::ofstream(root.File(folder) + "/" + folder + ".bmp") << "not read";
    std::ofstream(root.File(folder) + "/notes.txt") << "not listed";
  }
  SetTextureMenuRoot(root.Path());
  AppState().windows.main.id =
      EnsureHiddenGlWindow(AppState().windows.main.width, AppState().windows.main.height);
  Quietly([] {
    LoadAllMaps(AppState().maps);
    CreateFilterPanel();
    CreateStrokePanel();
    CreateCameraPanel();
    CreateSizePanel();
  });
  SetTextureMenuRoot("textures/");
  CreatedWindows = AppState().windows;
}

void ResetPanelState() {
  ResetApplicationStateForTesting();
  AppState().windows = CreatedWindows;
}

bool SamePixels(const BmpImage& a, const BmpImage& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel())
    return false;
  return std::equal(a.Data(), a.Data() + a.ByteCount(), b.Data());
}
