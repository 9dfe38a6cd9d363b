#pragma once
// The program's shell: GLUT and the main view, the one-time scene set-up,
// the main window's menu, the four control panels and the idle heartbeat.
// `kelvra` and `kelvra-play` both start the painter through StartPainter.

// Everything up to the GLUT main loop: GLUT initialised with the command
// line (taking its own options out of it), then OpenPainterWindows.
void StartPainter(int* argc, char** argv);
// After glutInit: the main window and its callbacks, InitScene, the menus
// and panels. The idle step is installed once here, whatever order the
// panels are created in.
void OpenPainterWindows();

// The one-time GL set-up of the main window: report, render state,
// material, light, gradient maps, camera.
void InitScene();
// The main window's right-button menu, then the panels in the order Filter,
// Stroke, Camera, Size.
void CreateMenusAndPanels();
// The heartbeat, at most 60 times a second: camera spin, texture
// synchronisation, light position, control sync. What changed is drawn by
// the redraw checks (app/redisplay.h), not here.
void OnIdle();
void OnPrimitiveMenu(int value);
void OnMainMenu(int value);
