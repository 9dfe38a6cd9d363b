#pragma once
// When the windows draw, and how often the idle step runs.
//
// A window draws when GLUT asks (it was exposed or resized) or when what it
// would show differs from what it drew last: each display notes the state
// it draws from, and after every round of input (before GLUT draws) that
// is compared with the state now, so an unchanged window does no GL work at
// all. The state a picture is drawn
// from is kept as bytes (values of the settings it reads, revision counters
// of the data whose writers bump them, and, for the main view, the GL state
// a frame starts from, such as the light position, which reaches a frame
// one step late), so a window that would draw something different always
// draws, and one that would draw the same never does.
//
// The idle step runs at most 60 times a second: it sleeps until its next
// slot instead of spinning, so the camera and the light ball spin at the
// same speed on every machine that keeps up.

#include <cstdint>

#include "render/scene_view.h"

// The windows the idle step redraws (the Size panel redraws only when GLUT
// or the Filter panel asks).
enum class Picture { kMain, kCameraPanel, kStrokePanel, kFilterPanel, kCount };

// Each display calls this first, with its window current; the main view's
// with the view it draws.
void NoteDrawn(Picture picture, const SceneView* view = nullptr);

// What the main view shows now, of the state and of the GL state its next
// frame starts from (the main window's context must be current). Strokes
// are drawn from their base meshes (`coarse`) while the camera moves over a
// painting of more than a quarter of a million faces; the exact frame
// follows once the camera has rested for ten idle steps.
SceneView MainSceneView();
// The idle step tells the camera's movement here, once per step.
void NoteIdleStep();
// The textures a window's context holds were loaded again.
void TexturesReloaded(Picture picture);
// A window was resized: it draws again, twice, whatever it shows (its
// buffers follow the new size only once a frame has been presented).
void WindowResized(Picture picture);
// Posts a redisplay of every window whose picture would change; with change
// tracking off, of all of them.
void PostChangedRedisplays();
// Runs PostChangedRedisplays from GLUT's event loop after each round of
// input and before its redisplays, as a timer: the idle step's changes are
// drawn on the next round, with the input that came in between. A replay,
// which drives GLUT's rounds itself and must not depend on the clock, stops
// the timer and checks before every round of its own.
void StartRedrawChecks();
void StopRedrawChecks();

// On by default; off redraws every window at every idle step (and every
// control subwindow at every sync), as comparisons of the two need.
void SetChangeTracking(bool on);

// On by default; off runs idle steps as fast as they come (replays).
void SetIdlePacing(bool on);
// Sleeps until the idle step's next slot, when pacing is on.
void WaitForIdleSlot();
