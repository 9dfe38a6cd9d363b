#pragma once
// Posting the redisplays the redraw decision asks for (state/redraw.h),
// the timer that checks after every round of input, and the idle step's
// pace.
//
// The idle step runs at most 60 times a second: it sleeps until its next
// slot instead of spinning, so the camera and the light ball spin at the
// same speed on every machine that keeps up.

#include "render/scene_view.h"

// The GL state the main view's next frame starts from (the main window's
// context must be current), and the view it would draw now.
FrameStart MainFrameStart();
SceneView CurrentMainSceneView();

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
