#include "actions/build_hooks.h"

#include "actions/main_window_scope.h"
#include "image/textures.h"
#include "render/particles.h"
#include "state/state.h"

namespace {

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
