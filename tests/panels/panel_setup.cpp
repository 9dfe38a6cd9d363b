#include "tests/panels/panel_setup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/state.h"
#include "image/textures.h"
#include "panels/panels.h"
#include "panels/texture_menus.h"
#include "tests/support/console.h"
#include "tests/support/gl_window.h"
#include "tests/support/scratch_dir.h"

namespace {

int* const kWindowIds[] = {&MainWindow, &CameraPanelWindow, &StrokePanelWindow, &FilterPanelWindow,
                           &SizePanelWindow};
int SavedWindowIds[5];

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
  MainWindow = EnsureHiddenGlWindow(MainWindowWidth, MainWindowHeight);
  Quietly([] {
    LoadAllMaps();
    CreateFilterPanel();
    CreateStrokePanel();
    CreateCameraPanel();
    CreateSizePanel();
  });
  SetTextureMenuRoot("textures/");
  for (int i = 0; i < 5; ++i) SavedWindowIds[i] = *kWindowIds[i];
}

void ResetPanelState() {
  ResetApplicationStateForTesting();
  for (int i = 0; i < 5; ++i) *kWindowIds[i] = SavedWindowIds[i];
}

bool SamePixels(const BmpImage& a, const BmpImage& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel())
    return false;
  return std::equal(a.Data(), a.Data() + a.ByteCount(), b.Data());
}
