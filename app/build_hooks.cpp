#include "app/build_hooks.h"

#include <GL/freeglut.h>

#include "app/state.h"
#include "image/textures.h"
#include "render/particles.h"

namespace {

// Makes the main window current for the scope, when it exists and is not
// current already, and restores the window that was.
class MainWindowScope {
 public:
  MainWindowScope() {
    if (MainWindow == 0) return;
    previous_ = glutGetWindow();
    if (previous_ != MainWindow) glutSetWindow(MainWindow);
  }
  ~MainWindowScope() {
    if (previous_ != 0 && previous_ != MainWindow) glutSetWindow(previous_);
  }

 private:
  int previous_ = 0;
};

HeightMap ReadHeightMap() {
  MainWindowScope scope;
  TextureImage image;
  if (!LoadTextureFile(image, MapFile(MAP_HEIGHT), TEX_HEIGHT)) return HeightMap();
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
