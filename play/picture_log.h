#pragma once
// Fingerprints of what the screen shows, for comparing two ways of
// redrawing (kelvra-play --picture-log).

#include <cstdio>

// One line "LINE NAME HASH" per open top-level window: a hash of what the X
// server shows of it (its control subwindows included), read from the
// screen without drawing anything. `line` is the script line just played.
void LogPictures(std::FILE* log, int line);
