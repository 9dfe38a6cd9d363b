#pragma once
// The Camera control panel ("Camera Control Panel:"): the "Light 1" rotation
// ball, the light/paper/axes/cursor toggles, "Delete Selected" and "Delete
// All", and a view from outside of the paper on its stand, the light
// direction and the main camera with its frustum.

#include <string>

void CreateCameraPanel();
void ShowCameraPanel();
void HideCameraPanel();

// GLUI callback of the buttons: 1 deletes the selected stroke, 2 all strokes;
// 3 ("Load") and 4 ("Save") show the window of paintings.
void OnCameraPanelControl(int id);
void OnCameraPanelMenu(int value);
void DisplayCameraPanel();
// What the panel's picture is drawn from (state/redraw.h): the camera, the
// light, the main view's matrices and the panel's size.
std::string CameraPanelRedrawKey();
void ReshapeCameraPanel(int width, int height);
