#pragma once
// Values several parts of the program share, each written once.

// "+" and "-" move a stroke's start width and height, or two collision
// factors apart, by this much.
constexpr float kSizeStep = 0.01f;

// Keys as GLUT's keyboard callback delivers them: Esc, and a letter typed
// with Ctrl held as that letter's control code (Ctrl+A is 1).
constexpr unsigned char kEscapeKey = 27;
constexpr unsigned char CtrlKey(char upperCaseLetter) {
  return static_cast<unsigned char>(upperCaseLetter - 'A' + 1);
}
