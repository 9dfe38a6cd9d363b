#pragma once
// Input of the main view: painting with the left button, picking with the
// middle button, the arrow keys that step the selection, the keyboard
// (camera, auto-trace, exit), and what the painter adds on inputs the view
// leaves free: the wheel zooms and pans, p paints under the pointer. What
// they change goes through actions/actions.h.
//
// Coordinates: GLUT callbacks get pixels with the origin at the top-left;
// PickStroke, the tracer and the pixel reads use OpenGL window coordinates
// with the origin at the bottom-left.

#include <optional>

#include "common/vec4.h"

// ---- GLUT callbacks of the main window ----------------------------------------
void OnMouse(int button, int state, int x, int y);
void OnMotion(int x, int y);
void OnPassiveMotion(int x, int y);
void OnKeyboard(unsigned char key, int x, int y);
void OnSpecialKey(int key, int x, int y);

// A pen's motion over the main view at window pixel (x, y), pressing with
// `pressure` in 0..1: the cursor follows and, while painting, one node with
// that pressure. OnMotion calls it for a pen's motion (app/pen_input.h),
// kelvra-play for "move X Y pressure P".
void OnPenMotion(int x, int y, float pressure);

// freeglut reports modifier and lock keys (Shift, Ctrl, Alt, Super, Num
// Lock, Begin) as special keys. They are not keys of the main view: a Shift
// press must not print the selection number.
bool IsModifierKey(int key);

// Hides the system cursor over the main view and stores the pointer on the
// canvas plane: (2·x/W − 1, 1 − 2·y/H, 0, 0), W × H the main window size;
// painting under the pointer, where the ray through pixel (x, y) meets the
// plane (camera/view_ray.h). Returns that point, where a node would go;
// none, and the cursor where it was, when the ray misses the canvas.
std::optional<Vec4> SetCursorPosition(int x, int y);

// Selects the nearest stroke drawn within 50 × 50 pixels of (x, y) into
// SelectedStroke; leaves it unchanged when nothing (or too much) is hit.
void PickStroke(int x, int y);
