#pragma once
// The main view's still picture — the backdrop, the stroke being painted and
// the committed strokes — kept with its depth in an off-screen framebuffer of
// the main window's context. A frame in which only the stroke being painted,
// the selection or the overlays changed draws only those: the new part of
// the painted stroke and the outlines are drawn again inside boxes around
// them, with every stroke that reaches into a box, and the overlays are drawn
// over the kept picture. What the frame shows is exactly what drawing
// everything would show; only how much is drawn changes.
//
// Which part changed is told by comparing the view the picture was kept
// from with the view now (render/scene_view.h), nothing else.

#include <cstddef>
#include <cstdint>

#include "render/scene_view.h"

// Draws the frame of `view` into the back buffer of the current (main)
// window, the camera's look-at already on the model-view matrix. Without
// framebuffer objects, or with keeping turned off, it draws everything.
void DrawMainViewFrame(const SceneView& view);

// On by default. Off, every frame draws everything (comparisons of the two
// need it); the kept picture is given back.
void SetKeptPicture(bool on);
// True while frames are drawn through a kept picture.
bool KeptPictureInUse();
// The memory the kept picture takes: colour and depth, 8 bytes a pixel.
std::size_t KeptPictureBytes();

// Reads the kept picture of a view of `width` × `height` pixels as RGBA,
// rows bottom first, into `rgba`: the painting without the cursor, the
// axes and the selection's outline. False (nothing read) when no picture
// of that size is kept in the current context.
bool ReadKeptPicture(int width, int height, std::uint8_t* rgba);
