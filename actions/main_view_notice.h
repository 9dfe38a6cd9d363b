#pragma once
// A notice over the main view: where the person is looking when a file
// they asked for there (on the command line, with Ctrl+S, with a key's
// export) fails or needs a second press, the line stderr got is shown
// over the picture for a few seconds. The control layer draws it after
// the scene (app/view.cpp); without one the picture is the painter's own.

#include <string>

// Shows `line` from now on for a few seconds (the last line wins).
void ShowMainViewNotice(const std::string& line);
// The idle step's turn: a notice whose time is up goes.
void ExpireMainViewNotice();
