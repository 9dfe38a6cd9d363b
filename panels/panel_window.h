#pragma once
// Routines every control-panel window shares: creation with its geometry,
// showing and hiding, the "Hide" right-button menu, and handlers for the
// events a panel ignores.

#include "state/state.h"

struct RgbaPicture;

// Creates a double-buffered RGB window with depth where `place` says and
// stores its GLUT id there; the new window is current.
void CreatePanelWindow(const char* title, WindowPlace& place);

// Show or hide a panel window; an id of 0 (not created yet) is ignored.
void ShowPanelWindow(int window);
void HidePanelWindow(int window);

// The right-button menu of a panel without submenus: an empty spacer (0),
// "Hide" (1), another spacer (0), attached to the current window.
void AttachHideMenu(void (*onMenu)(int));
constexpr int kHideMenuValue = 1;

// A reshaped extent as the panels store it: 0 becomes 1.
int StoredExtent(int extent);

// Viewport over the whole window and a projection whose unit square fills
// it: the view of the panels whose preview is one quad.
void SetUnitSquareView(int width, int height);

// Texture `texture` on the rectangle x0–x1, y0–y1 of the z = 0 plane, with
// texture coordinates (s0, t0) at (x0, y0) and (s1, t1) at (x1, y1): the
// previews' one-quad pictures. Texturing is the caller's to enable.
void DrawTexturedQuad(unsigned int texture, float x0, float y0, float x1, float y1, float s0,
                      float t0, float s1, float t1);

// Clears the current window to the controls' grey and draws `picture`
// (rows top first) centred across it, `topMargin` pixels below its top
// edge: the picture area of the Paintings and Brushes windows. An empty
// picture leaves the grey alone.
void DrawPictureAtTop(const RgbaPicture& picture, int topMargin);

// The callback of a control whose setting needs nothing but the action
// that tells it changed (actions/actions.h: SettingChanged).
void OnSettingControl(int id);

// Handlers for the events a panel window ignores.
void IgnoreMouse(int button, int state, int x, int y);
void IgnoreKeyboard(unsigned char key, int x, int y);
void IgnoreSpecialKey(int key, int x, int y);
