#pragma once
// The painter's state: one value, grouped as the program thinks of it, each
// member with its start value here. A reset assigns a fresh value.
//
// GLUT's callbacks reach it through AppState(). GLUI controls bind to its
// members by address (int for checkboxes and int spinners, float for float
// spinners, 16 floats for the rotation ball), so the value never moves for
// the life of the program. Lower folders (camera/, render/, image/,
// stroke/) never read it: they take what they need as arguments. A painting
// document saves the parts that belong to the painting.
//
// Flags are ints holding 0 or 1, as checkboxes write them.

#include <cstdint>
#include <string>

#include "camera/camera.h"
#include "camera/display_toggles.h"
#include "camera/light.h"
#include "common/random.h"
#include "common/vec4.h"
#include "image/image.h"
#include "image/textures.h"
#include "render/kept_picture.h"
#include "render/scene_view.h"
#include "state/redraw.h"
#include "stroke/settings.h"
#include "stroke/stroke.h"

// A window's GLUT id (0 until glutCreateWindow returns) and geometry in
// pixels. Its reshape stores the new size, a 0 being stored as 1; the
// position is read only when the window is created.
struct WindowPlace {
  int id = 0;
  int width = 0, height = 0;
  int x = 0, y = 0;
};

// A part of a window in glViewport terms (origin bottom-left).
struct ViewArea {
  int x = 0, y = 0, width = 1, height = 1;
};

struct Windows {
  WindowPlace main{0, 675, 675, 0, 0};
  WindowPlace cameraPanel{0, 330, 300, 690, 0};
  WindowPlace strokePanel{0, 330, 350, 690, 350};
  WindowPlace filterPanel{0, 200, 200, 225, 225};
  WindowPlace sizePanel{0, 350, 335, 225, 225};
  // The window that opens and saves paintings, made when first asked for;
  // its size follows its controls.
  WindowPlace paintings{0, 0, 0, 690, 320};
  // The Brushes window, made when first asked for; its size follows its
  // controls. Right of the Camera and Stroke panels, so that the Stroke
  // panel shows a brush's values beside it.
  WindowPlace brushes{0, 0, 0, 1030, 0};
  // The Stroke panel's drawing area left over by its two GLUI subwindows;
  // the colour picker maps clicks with it.
  ViewArea strokePanelView;
};

struct Interaction {
  int painting = 0;        // a left drag is adding nodes to the current stroke
  int selectedStroke = 0;  // 1-based stroke number; 0 = none
  Vec4 cursorPosition;     // last pointer position on the canvas plane, z = w = 0
  // Painting under the pointer (the p key, a preference): nodes go where
  // the ray through the pointer meets the canvas, through the camera, and
  // the cursor is centred on that point; off, the pointer's place in the
  // window is the node's place on the canvas.
  int paintUnderPointer = 0;
  // The last pointer pixel over the main view (GLUT's, origin top-left),
  // which the cursor under the pointer is seen through; it starts in the
  // middle of the start window, where the cursor starts.
  int pointerX = 337, pointerY = 337;
  int syncRequested = 0;   // the idle step must reload the maps in the main window
  // How stroke meshes are rasterised: 0 = points, otherwise GL_LINE or
  // GL_FILL for triangles.
  unsigned int primitiveMode = kPolygonModeFill;
};

// The main view's matrices as glGetDoublev gives them (column-major), for
// the Camera panel's picture of the camera.
struct ViewMatrices {
  double modelView[16] = {};   // right after the camera look-at, at every display
  double projection[16] = {};  // at the last reshape
};

// The Filter panel's source picture and the last filter result (texture
// TEX_FILTERED, and the picture under "Paper ON").
struct Pictures {
  BmpImage source;
  BmpImage filtered;
};

// Counters the action layer moves (actions/actions.h): the views of the
// strokes compare them to tell what changed.
struct Revisions {
  std::uint64_t actions = 0;  // every action
  std::uint64_t strokes = 0;  // a committed stroke, or the count of them, changed
  std::uint64_t painted = 0;  // the stroke being painted changed
};

// A line over the main view for a few seconds (actions/main_view_notice.h):
// what went wrong with a file the person asked for there, or where an
// export went. None most of the time, and the picture is then the
// program's own.
struct MainViewNotice {
  std::string text;           // empty: none
  std::uint64_t revision = 0; // moves when the notice comes or goes
  double until = 0;           // seconds on the steady clock
};

struct ApplicationState {
  Windows windows;
  Interaction interaction;
  DisplayToggles display;
  Light light;
  ViewMatrices views;
  Camera camera;
  // What every stroke build and rebuild reads: levels of detail,
  // subdivision, end node, the "P", "M" and "R" switches (Stroke panel),
  // widths and heights (Size panel), the colours picked in the spectrum.
  StrokeSettings strokeSettings;
  Collisions collisions;
  ColourMarker colourMarker;
  MapFileTable maps;
  Pictures pictures;
  Canvas canvas;
  // Random node sizes and particles draw from it; never reseeded.
  RandomGenerator random;
  Revisions revisions;
  // The main view's picture of what stands still, kept between frames.
  KeptPicture keptPicture;
  // A failure (or an export) told over the main view for a few seconds.
  MainViewNotice notice;
  RedrawMemory redraw;  // what the windows were drawn from (state/redraw.h)
};

ApplicationState& AppState();

// Tests only: the whole state back to its start value (the value stays
// where it is, so controls bound to it stay bound).
void ResetApplicationStateForTesting();
