#pragma once
// The Size control panel ("Size Control Panel:"): the width and height that
// new and selected strokes taper along ("Normal Nodes") and the factors that
// pile up crossing strokes ("Collision Nodes"), over a preview of the
// filtered source image. Created last of the four panels, and hidden.

// Creates the window, its controls and menu, and hides the window.
void CreateSizePanel();
void ShowSizePanel();
void HideSizePanel();

// GLUI callback of every control; ids 0–9 act (see size_panel.cpp), others
// are ignored, as is everything while no committed stroke is selected.
void OnSizePanelControl(int id);
void OnSizePanelMenu(int value);
void DisplaySizePanel();
void ReshapeSizePanel(int width, int height);

// Uploads the filtered picture into this window's own GL context (each window has
// its own textures) and redraws the preview; the Filter panel calls it after
// every choice. Does nothing before the window exists.
void RefreshSizePanelPreview();
