#pragma once
// The Canvas holding every stroke of the run, and its painting operations.

#include "stroke/stroke.h"

extern Canvas TheCanvas;

