#pragma once
// The application state: every setting, mode and window handle that more
// than one subsystem reads or writes, each a plain variable with its start
// value. GLUI controls bind to these by address (int for checkboxes and int
// spinners, float for float spinners, 16 floats for the rotation ball).
//
// Flags are ints holding 0 or 1. Nothing here is saved between runs.
// Each start value is written once, in state.cpp. The camera
// (camera/camera.h) and the image globals (image/) live with the code that
// owns them.

#include "common/random.h"
#include "common/vec4.h"
#include "stroke/settings.h"
#include "stroke/stroke.h"

// ---- Window ids (0 until glutCreateWindow returns) -------------------------
extern int MainWindow;
extern int CameraPanelWindow;
extern int StrokePanelWindow;
extern int FilterPanelWindow;
extern int SizePanelWindow;

// ---- Window geometry (pixels). Reshapes store the new size here, a 0 being
// stored as 1; positions are read only at creation. -------------------------
extern int MainWindowWidth, MainWindowHeight, MainWindowX, MainWindowY;
extern int CameraPanelWidth, CameraPanelHeight, CameraPanelX, CameraPanelY;
extern int StrokePanelWidth, StrokePanelHeight, StrokePanelX, StrokePanelY;
extern int FilterPanelWidth, FilterPanelHeight, FilterPanelX, FilterPanelY;
extern int SizePanelWidth, SizePanelHeight, SizePanelX, SizePanelY;

// Drawing area of the Stroke panel left over by its two GLUI subwindows, in
// glViewport terms (origin bottom-left); the colour picker maps clicks with it.
extern int StrokePanelViewX, StrokePanelViewY, StrokePanelViewWidth, StrokePanelViewHeight;

// ---- Interaction ----------------------------------------------------------
extern int Painting;         // a left drag is adding nodes to the current stroke
extern int SelectedStroke;   // 1-based stroke number; 0 = none
extern Vec4 CursorPosition;  // last pointer position on the canvas plane, z = w = 0
extern int SyncRequested;    // the idle step must reload maps in the main window

// How stroke meshes are rasterised: 0 = points, otherwise a polygon mode
// (GL_LINE 0x1B01 or GL_FILL 0x1B02) for triangle strips.
constexpr unsigned int kPolygonModeLine = 0x1B01;
constexpr unsigned int kPolygonModeFill = 0x1B02;
extern unsigned int PrimitiveMode;

// ---- Display toggles (Camera panel checkboxes) ------------------------------
extern int LightOn;
extern int PaperOn;
extern int AxesOn;
extern int CursorOn;

// ---- Light -------------------------------------------------------------------
extern float LightRotation[16];  // column-major, for glMultMatrixf
extern float LightPosition[4];   // (−1, −1, −1.7, 1) once the camera is initialised

// ---- Stored view matrices of the main view (column-major, glGetDoublev) --------
extern double ModelViewMatrix[16];   // right after the camera look-at
extern double ProjectionMatrix[16];  // at the last reshape

// ---- Multitexture entry points (null until fetched; stay null without
// GL_ARB_multitexture, and then nothing may call them) ---------------------------
using MultiTexCoord2fProc = void (*)(unsigned int target, float s, float t);
using ActiveTextureProc = void (*)(unsigned int texture);
extern MultiTexCoord2fProc MultiTexCoord2fARB;
extern ActiveTextureProc ActiveTextureARB;
extern ActiveTextureProc ClientActiveTextureARB;

// ---- The painting -----------------------------------------------------------------
extern Canvas TheCanvas;
// What every stroke build and rebuild reads: levels of detail, subdivision,
// end node, the "P", "M" and "R" switches (Stroke panel), widths, heights
// (Size panel) and the colours picked in the Stroke panel's spectrum. The
// panels' controls bind to its members.
extern StrokeSettings TheStrokeSettings;
// The Size panel's "Collision Nodes" factors.
extern CollisionFactors TheCollisionFactors;
// The generator random node sizes and particles draw from, never reseeded.
extern RandomGenerator TheRandom;

// ---- Stroke panel switches read outside the build ---------------------------------
extern int ShowNodes;           // "N": path points of every stroke drawn
extern int CollideAfterStroke;  // "C": crossing check after every commit

// Colour marker of the Stroke panel's spectrum, x in 0..1, y in 0..4.
extern float ColourMarkerX, ColourMarkerY;

// Tests only: every variable back to its start value; the canvas keeps its
// strokes.
void ResetApplicationStateForTesting();
