#pragma once
// The Filter control panel ("Filter Control Panel:"): shows the filtered picture
// filling the window; its right-button menu picks a source image from the
// "sourcemap/" texture folder and applies one of the 38 convolution kernels.
// Every choice also asks the main window to resynchronise its textures.
// Created first of the four panels, and hidden.

#include <string>

void CreateFilterPanel();
void ShowFilterPanel();
void HideFilterPanel();

// Menu callbacks: a kernel of the filter submenus (0–37), the "Filters"
// menu's own "NONE" entry (kShowUnfilteredSource), a source file (−1, −2, …
// in folder order), the top menu (1 hides).
void OnFilterChoice(int value);
void OnFiltersMenu(int value);
void OnSourceChoice(int value);
void OnFilterPanelMenu(int value);

void DisplayFilterPanel();
// What the panel's picture is drawn from (state/redraw.h): its filtered
// picture and its size.
std::string FilterPanelRedrawKey();
void ReshapeFilterPanel(int width, int height);

// The value of the "NONE" entry (that of "LP2" in the kernel numbering). It
// shows the source unfiltered, as a user who picks "NONE" expects: the
// source is copied into the filtered picture.
constexpr int kShowUnfilteredSource = 2;
