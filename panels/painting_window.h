#pragma once
// The "Paintings" window: the current painting's thumbnail, the paintings
// of the person's folder, newest first with the date of each (a painting a run left unsaved first of all,
// as "Recovered …", which Discard deletes), a name field, a line saying
// what went wrong or what a second click will do, and Open, Save, Discard
// and Cancel. The Camera panel's "Load" and "Save" and the main view's
// Ctrl+O and Ctrl+Shift+S show it; it is made the first time it is asked
// for, so that start-up opens no window more.

// What the window was shown for: Enter in the name field does it.
enum class PaintingWindowPurpose { kOpen, kSave };

// Shows the window with the list read afresh (temporaries that killed
// saves left are cleared first) and the name field holding the name of
// the painting this run works on.
void ShowPaintingWindow(PaintingWindowPurpose purpose);
void HidePaintingWindow();

// Ctrl+S: the painting saved into its own file again; the window, asking
// for a name, when it has none yet. A file changed since this run opened
// or saved it is saved over only at a second press; that, and a failure,
// are told over the main view.
void SavePaintingOrAskForName();
