#pragma once
// A brush's picture: the stroke it makes, as the main view draws it. A
// sample stroke (a gentle wave across the middle of the canvas, the same
// nodes every time) is built with the settings given and the maps the
// painter holds now, and drawn off the screen close up, lit as the main
// view lights it, in the main window's context. Its random numbers come
// from a generator of its own, started afresh: the painter's is untouched
// and a brush's picture is the same at every drawing.

#include <cstdint>
#include <string>
#include <vector>

#include "stroke/settings.h"

constexpr int kBrushPictureWidth = 240;
constexpr int kBrushPictureHeight = 96;

// The picture as PNG bytes; empty, with `problem` set, when the GL cannot
// draw off the screen. The sample's build prints nothing on the console.
std::vector<std::uint8_t> BrushPicture(const StrokeSettings& settings, std::string* problem);
