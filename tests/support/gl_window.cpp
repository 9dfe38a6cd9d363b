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
// report it). The probe connection then stays open for the life of the
// process: closed before glutInit, it could be the server's last client,
// and a server that resets when its last client leaves refuses glutInit's
// connection while it resets.
void WaitForDisplay() {
  static Display* probe = nullptr;
  for (int attempt = 0; attempt < 50 && !(probe = XOpenDisplay(nullptr)); ++attempt)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
}  // namespace

int EnsureHiddenGlWindow(int width, int height) {
  if (HiddenWindow == 0) {
    int argc = 1;
    char name[] = "kelvra_tests";
    char* argv[] = {name, nullptr};
    WaitForDisplay();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    HiddenWindow = glutCreateWindow("kelvra tests");
    glutDisplayFunc(DisplayNothing);
    glutHideWindow();
  }
  glutSetWindow(HiddenWindow);
  return HiddenWindow;
}
