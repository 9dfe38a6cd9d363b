#include "play/picture_log.h"

#include <GL/freeglut.h>
#include <GL/glx.h>

#include <cstdint>

#include "play/glut_tap.h"
#include "play/windows.h"

void LogPictures(std::FILE* log, int line) {
  const int current = glutGetWindow();
  Display* display = glXGetCurrentDisplay();
  if (!display) return;
  XSync(display, False);
  for (int window : tap::Windows()) {
    const tap::WindowCallbacks* callbacks = tap::Window(window);
    if (!callbacks || callbacks->parent != 0) continue;
    glutSetWindow(window);
    const Window drawable = glXGetCurrentDrawable();
    XWindowAttributes attributes;
    if (!drawable || !XGetWindowAttributes(display, drawable, &attributes) ||
        attributes.map_state != IsViewable)
      continue;
    XImage* image =
        XGetImage(display, drawable, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) continue;
    std::uint64_t hash = 1469598103934665603ull;
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y) & 0xFFFFFF;
        hash = (hash ^ pixel) * 1099511628211ull;
      }
    XDestroyImage(image);
    std::fprintf(log, "%d %s %016llx\n", line, NameOfWindow(window).c_str(),
                 static_cast<unsigned long long>(hash));
  }
  std::fflush(log);
  if (current) glutSetWindow(current);
}
