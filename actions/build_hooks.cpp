#include "actions/build_hooks.h"

#include <GL/freeglut.h>

#include "image/textures.h"
#include "render/particles.h"
#include "state/state.h"

namespace {

// Makes the main window current for the scope, when it exists and is not
// current already, and restores the window that was.
class MainWindowScope {
 public:
  MainWindowScope() : main_(AppState().windows.main.id) {
    if (main_ == 0) return;
    previous_ = glutGetWindow();
    if (previous_ != main_) glutSetWindow(main_);
  }
  ~MainWindowScope() {
    if (previous_ != 0 && previous_ != main_) glutSetWindow(previous_);
  }

 private:
  int main_ = 0;
  int previous_ = 0;
};

HeightMap ReadHeightMap() {
  MainWindowScope scope;
  TextureImage image;
  if (!LoadTextureFile(image, AppState().maps[MAP_HEIGHT], TEX_HEIGHT)) return HeightMap();
  return image.TakePicture();
}

void CompileParticles(ParticleSystem& particles) {
  MainWindowScope scope;
  CompileParticleList(particles);
}

}  // namespace

const BuildHooks& PainterBuildHooks() {
  static const BuildHooks hooks{ReadHeightMap, CompileParticles};
  return hooks;
}
