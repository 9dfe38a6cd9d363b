#pragma once
// A hidden GLUT window whose GL context tests can draw into and read back.
// The first call initialises GLUT (under Xvfb in ./test.sh) and creates the
// window; later calls make it current again. Returns the GLUT window id.
int EnsureHiddenGlWindow(int width = 256, int height = 256);
