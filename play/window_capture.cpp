#include "play/window_capture.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "image/pixel_store.h"
#include "play/glut_tap.h"
#include "play/windows.h"

namespace {

void ReadPixels(int width, int height, std::vector<std::uint8_t>* rgb) {
  rgb->assign(static_cast<std::size_t>(width) * height * 3, 0);
  const PixelStoreScope tightRows;
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb->data());
  // GL's rows run bottom-up; pictures are top row first.
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height / 2; ++y)
    std::swap_ranges(rgb->begin() + y * row, rgb->begin() + (y + 1) * row,
                     rgb->begin() + (height - 1 - y) * row);
}

// The frame a display draws, read just before it is swapped.
struct Capture {
  int window = 0;
  int width = 0, height = 0;
  std::vector<std::uint8_t>* rgb = nullptr;
  bool done = false;
};
Capture* Capturing = nullptr;

void CaptureFrame(int window) {
  if (!Capturing || window != Capturing->window || Capturing->done) return;
  ReadPixels(Capturing->width, Capturing->height, Capturing->rgb);
  Capturing->done = true;
}

// Draws `window` and reads what it drew; false when it has no display.
bool DrawAndRead(int window, int width, int height, std::vector<std::uint8_t>* rgb) {
  Capture capture{window, width, height, rgb, false};
  Capturing = &capture;
  tap::SetSwapListener(CaptureFrame);
  tap::InjectDisplay(window);
  tap::SetSwapListener(nullptr);
  Capturing = nullptr;
  return capture.done;
}

}  // namespace

bool ReadWindowPicture(int window, int* width, int* height, std::vector<std::uint8_t>* rgb) {
  const WindowRect whole = PlaceOfWindow(window);
  if (whole.width <= 0 || whole.height <= 0) return false;
  if (!DrawAndRead(window, whole.width, whole.height, rgb)) return false;
  for (int sub : SubwindowsOf(window)) {
    const WindowRect rect = PlaceOfWindow(sub);
    std::vector<std::uint8_t> part;
    if (!DrawAndRead(sub, rect.width, rect.height, &part)) continue;
    for (int y = 0; y < rect.height; ++y)
      for (int x = 0; x < rect.width; ++x) {
        const int tx = rect.x + x, ty = rect.y + y;
        if (tx < 0 || ty < 0 || tx >= whole.width || ty >= whole.height) continue;
        for (int c = 0; c < 3; ++c)
          (*rgb)[(static_cast<std::size_t>(ty) * whole.width + tx) * 3 + c] =
              part[(static_cast<std::size_t>(y) * rect.width + x) * 3 + c];
      }
  }
  glutSetWindow(window);
  *width = whole.width;
  *height = whole.height;
  return true;
}
