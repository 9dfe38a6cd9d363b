#include "tests/support/gl_window.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace {
int HiddenWindow = 0;
void DisplayNothing() {}

// A virtual X server busy with other test processes can refuse a connection
// for a moment; glutInit would end the test on the first refusal, so wait
// until the display answers (or give up after a few seconds and let glutInit
// report it). The answering connection is returned and must stay open until
// GLUT has its own: closing it first can leave the server without clients,
// and a server started without -noreset resets then, refusing glutInit.
Display* WaitForDisplay() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (Display* display = XOpenDisplay(nullptr)) return display;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return nullptr;
}
}  // namespace

int EnsureHiddenGlWindow(int width, int height) {
  if (HiddenWindow == 0) {
    int argc = 1;
    char name[] = "kelvra_tests";
    char* argv[] = {name, nullptr};
    Display* probe = WaitForDisplay();
    glutInit(&argc, argv);
    if (probe) XCloseDisplay(probe);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    HiddenWindow = glutCreateWindow("kelvra tests");
    glutDisplayFunc(DisplayNothing);
    glutHideWindow();
  }
  glutSetWindow(HiddenWindow);
  return HiddenWindow;
}
