#pragma once
// The Stroke control panel ("Stroke Control Panel:"): curve levels of detail,
// subdivision and capping (bottom GLUI subwindow), the rebuild and size
// buttons and the drawing flags (right GLUI subwindow), and a preview of the
// mesh, detail, particle, height and spectrum maps. A click in the spectrum
// picks the stroke colour; the right-button menu swaps map files.

#include <string>

void CreateStrokePanel();
void ShowStrokePanel();
void HideStrokePanel();

// Mouse callback of the drawing area: a left press in the spectrum band
// (view y ≥ 2 of 0–4) moves the marker there and makes the pixel under the
// pointer the start and end colour of the next strokes.
void PickStrokeColour(int button, int state, int x, int y);
// The callback of the rebuild buttons, the "P" and "M" checkboxes and the
// right-button menu: 1 hides the window, 2 shows the Size panel, 3 and 4
// grow and shrink the selected stroke, 5 and 6 keep "P" and "M" from being
// on together, 7 rebuilds the selected stroke ("Update"); others do nothing.
void OnStrokePanelControl(int id);

// Selection callbacks of the five map-folder submenus (values −1, −2, …).
void OnMeshMapChoice(int value);
void OnDetailMapChoice(int value);
void OnParticleMapChoice(int value);
void OnHeightMapChoice(int value);
void OnPaperMapChoice(int value);

// The subdivision and capping spinners: make the main window current when
// subdivision is on, so the rebuild that follows has its context.
void OnSubdivisionControl(int id);

void DisplayStrokePanel();
// What the panel's picture is drawn from (state/redraw.h): its maps, the
// colour and its marker, the drawing area.
std::string StrokePanelRedrawKey();
void ReshapeStrokePanel(int width, int height);
