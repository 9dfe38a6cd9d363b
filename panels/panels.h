#pragma once
// The four control panels, created at start-up in the order Filter, Stroke,
// Camera, Size; each window loads the texture set into its own GL context.
// Filter and Size start hidden. The Show/Hide functions take the panel's
// window from the application state and ignore a panel not yet created.

#include "panels/brush_window.h"
#include "panels/camera_panel.h"
#include "panels/filter_panel.h"
#include "panels/painting_window.h"
#include "panels/size_panel.h"
#include "panels/stroke_panel.h"
