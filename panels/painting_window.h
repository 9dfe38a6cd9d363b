#pragma once
// The "Paintings" window: the paintings of the person's folder, newest
// first (a painting a run left unsaved first of all, as "Recovered …"), a
// name field, and Open, Save and Cancel. The Camera panel's "Load" and
// "Save" and the main view's Ctrl+O and Ctrl+Shift+S show it; it is made
// the first time it is asked for, so that start-up opens no window more.

// Shows the window with the list read afresh and the name field holding
// the name of the painting this run works on.
void ShowPaintingWindow();
void HidePaintingWindow();

// Ctrl+S: the painting saved into its own file again; the window, asking
// for a name, when it has none yet.
void SavePaintingOrAskForName();
