#pragma once
// The "Brushes" window: the brushes (the person's own first, then the
// shipped ones) with the chosen one's picture above them, Apply, a name
// field with "Save current as…", Delete (a second click; only the
// person's own), a line saying what went wrong or what a second click will
// do, and the current pen pressure response ("Pressure minimum", "Pressure
// curve": the one place a person sets it). The b key shows it, and
// kelvra-play's `window brushes`; it is made the first time it is asked
// for, so that start-up opens no window more.

#include <string>

// Shows the window with the list read afresh: brushes dropped into the
// person's folder since appear.
void ShowBrushWindow();
void HideBrushWindow();

// kelvra-play's `brush "Name"`: applies the brush of that name (the
// person's own where they have one) as Apply does, maps from the texture
// folders the Stroke panel's menus list. What went wrong, or "": a brush
// whose map is missing applies the rest and says so on stderr.
std::string ApplyBrushNamed(const std::string& name);
