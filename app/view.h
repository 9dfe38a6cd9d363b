#pragma once
// Display and reshape of the main view.

// Clears, sets the camera, keeps the view matrix for the Camera panel, draws
// the scene, positions the light and swaps.
void OnDisplay();

// Follows the main window's size (0 counts as 1) into the state and the
// camera, rebuilds viewport and projection, and gives the Camera, Stroke and
// Filter panels back their stored sizes.
void OnReshape(int width, int height);

// Multiplies the "Light 1" rotation onto the model-view and gives light 0 its
// position under it.
void UpdateLight();
