#pragma once
// The painter's side of the stroke build: the GL work a build does at its
// SHAPE and PARTICLE steps, always in the main window's context.

#include "stroke/build.h"

// Reads the height slot's map (re-uploading TEX_HEIGHT where the strokes
// are drawn, as every shape build does) and compiles particle display lists
// there.
const BuildHooks& PainterBuildHooks();
