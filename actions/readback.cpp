#include "actions/readback.h"

#include <GL/gl.h>

#include <cstddef>

#include "image/pixel_store.h"
#include "state/state.h"

namespace {

// The pixel-store settings every main-view read uses, inside a scope that
// gives the context its own settings back afterwards.
void SetPackState(int rowLength) {
  glDrawBuffer(GL_BACK);
  glPixelStoref(GL_PACK_ROW_LENGTH, static_cast<float>(rowLength));
  glPixelStoref(GL_PACK_SKIP_ROWS, 0);
  glPixelStoref(GL_PACK_SKIP_PIXELS, 0);
  glPixelStoref(GL_UNPACK_ALIGNMENT, 1);
  glPixelStoref(GL_PACK_ALIGNMENT, 1);
}

bool InsideMainView(int x, int y) {
  return x >= 0 && y >= 0 && x < AppState().windows.main.width &&
         y < AppState().windows.main.height;
}

}  // namespace

float ReadPixelChannel(int x, int y, int channel) {
  if (!InsideMainView(x, y)) return -1.0f;
  const PixelStoreScope restored;
  SetPackState(AppState().windows.main.width);
  static const GLenum kChannelFormat[3] = {GL_RED, GL_GREEN, GL_BLUE};
  float value = 0.0f;
  if (channel >= 0 && channel < 3)
    glReadPixels(x, y, 1, 1, kChannelFormat[channel], GL_FLOAT, &value);
  glFinish();
  return value * 255;
}

Vec4 ReadPixelColour(int x, int y, int rowLength) {
  if (!InsideMainView(x, y)) return Vec4(-1.0f, -1.0f, -1.0f, -1.0f);
  const PixelStoreScope restored;
  SetPackState(rowLength);
  float red = 0.0f, green = 0.0f, blue = 0.0f;
  glReadPixels(x, y, 1, 1, GL_RED, GL_FLOAT, &red);
  glReadPixels(x, y, 1, 1, GL_GREEN, GL_FLOAT, &green);
  glReadPixels(x, y, 1, 1, GL_BLUE, GL_FLOAT, &blue);
  glFinish();
  return Vec4(red, green, blue, 0.0f);
}

void ReadFrame(int width, int height, std::vector<float>& rgb) {
  rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0.0f);
  const PixelStoreScope restored;
  SetPackState(width);
  glReadPixels(0, 0, width, height, GL_RGB, GL_FLOAT, rgb.data());
  glFinish();
}
