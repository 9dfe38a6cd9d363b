#pragma once
// The main view's pixels and the canvas plane z = 0, through the camera:
// which canvas point a pixel shows, and the camera moves that zoom towards
// the pointer and pan. Pure maths, no GL: each takes the pose, with its
// field of view, and the window's size, and agrees with what
// gluPerspective(fovy, width / height, zNear, zFar) and
// gluLookAt(eye, target, up) make of the same numbers.
//
// Pixels are GLUT's (origin top-left); a pixel stands for its centre.

#include <optional>

#include "camera/camera.h"

// The canvas point (z = w = 0) the view draws at pixel (x, y) of a
// width × height window, or none when the ray through it misses the plane
// within the depth the view draws (looking away from it, along it, or
// meeting it nearer than zNear or beyond zFar) or the pose is degenerate.
std::optional<Vec4> CanvasPointUnderPixel(const CameraPose& pose, int width, int height, int x,
                                          int y);

// What one wheel notch moves: 15 % of the way to the canvas point under the
// pointer (and back: a notch away undoes a notch towards), and a tenth of
// the canvas the view shows for a pan. Small enough to aim with, large
// enough that a few notches cross the canvas.
constexpr double kZoomFraction = 0.15;
constexpr double kPanFraction = 0.1;

// `notches` notches of the wheel at pixel (x, y), towards the canvas when
// positive, away when negative: the four points of the pose move together
// along the ray through the pixel, so the canvas point under the pointer
// stays under it. A ray that misses the plane moves along the view axis
// instead. Towards stops short of the near plane (twice zNear from the
// canvas point), where the canvas would be cut away.
CameraPose ZoomedAtPixel(const CameraPose& pose, int width, int height, int x, int y, int notches);

// The pose moved along its side and up axes by `right` and `up` steps of a
// tenth of the canvas height the view shows at its centre (at the distance
// where the view axis meets the canvas, or the eye's height above it when
// the axis misses).
CameraPose PannedBySteps(const CameraPose& pose, int width, int height, int right, int up);
